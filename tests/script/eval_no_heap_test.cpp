// Evaluating expressions never touches the heap: this program counts every global operator new,
// and the pool's live block count shows that no block is taken either.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "eval_fixture.h"
#include "runtime/text/block_pool.h"

namespace {
std::atomic<long> g_allocations{0};
}

void* operator new(std::size_t n) {
    ++g_allocations;
    if (void* p = std::malloc(n == 0 ? 1 : n)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace vodarir::testing {
namespace {

using namespace literals;

class EvalNoHeapTest : public EvalTest {};

TEST_F(EvalNoHeapTest, EvaluationsAllocateNothing) {
    // Variables and arrays are created before counting: creating them may grow their tables.
    ASSERT_EQ(EvalExpression("x=1;n#=2.5;s$='abc'"_t), 1);
    ScratchRelease(0);
    ASSERT_EQ(ArrayDim("A("_t, {9}), status::kOk);
    const char* expressions[] = {
        "1+2*3-4/5",
        "(1+2)*(3+4)>20&&5<>6",
        "x=x+1;n#*x",
        "'ab'+s$+FN$MIDS('xyz';2)",
        "A(3)=x;A(3)*2",
        "CHK#(x>2;FN#SLEN(s$);0)",
        "2.35!1+10%15-200\xF7"
        "10",
        "'a'*2", // failures allocate nothing either
        "(1+2",
        ".datey/.datem",
    };
    const long before = g_allocations.load();
    const std::int16_t liveBefore = PoolSnapshot().liveCount;
    for (int round = 0; round < 500; ++round) {
        for (const char* e : expressions) {
            const ScratchLevel mark = ScratchMark();
            EvalExpression(TextView(e));
            ScratchRelease(mark);
        }
        (void)EvalText("1.5*x"_t);
        ScratchRelease(0);
        (void)EvalCondition("x>0"_t);
        (void)EvalNumber("n#"_t);
    }
    EXPECT_EQ(g_allocations.load(), before);
    EXPECT_EQ(PoolSnapshot().liveCount, liveBefore);
}

} // namespace
} // namespace vodarir::testing
