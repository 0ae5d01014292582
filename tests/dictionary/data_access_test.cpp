// The record operations present by name: 148 with their own name as the detail, the pending
// error untouched; and the record buffer's fixed answers.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "dictionary/data_access.h"
#include "runtime/store/error_detail.h"
#include "runtime/text/error_trail.h"
#include "support/runtime_fixture.h"

namespace vodarir {
namespace {

using namespace literals;
using testing::RuntimeTest;
using testing::Str;

struct EntryPoint {
    std::string name;
    std::function<StatusCode()> call;
};

const std::vector<EntryPoint>& EntryPoints() {
    static const std::vector<EntryPoint> all = {
        {"BufferFldPutExp", [] { return BufferFldPutExp("CODCLI{1}=1"_t); }},
        {"BufferDataSet", [] { return BufferDataSet(1, "datos"_t); }},
        {"BufferFldPut", [] { return BufferFldPut(1, 2, "valor"_t); }},
        {"DataFileCounter", [] { return DataFileCounter(1, 1, "x"_t); }},
        {"DataFileEof", [] { return DataFileEof(1); }},
        {"DataFileRelUpdateLow", [] { return DataFileRelUpdateLow(2); }},
        {"DataFileDelete", [] { return DataFileDelete(1, 0); }},
        {"DataFileFind", [] { return DataFileFind(1, 1); }},
        {"DataFileFindChk", [] { return DataFileFindChk(1); }},
        {"DataFileInsert", [] { return DataFileInsert(1); }},
        {"DataFileMove", [] { return DataFileMove(1, 16); }},
        {"DataFileSelect", [] { return DataFileSelect("NOMBRE>'A'"_t); }},
        {"DataFileWrite", [] { return DataFileWrite(1); }},
    };
    return all;
}

class DataAccessTest : public RuntimeTest {};

TEST_F(DataAccessTest, EveryRecordOperationAnswersRemovedWithItsName) {
    for (const EntryPoint& entry : EntryPoints()) {
        LogErrorText(0, "earlier detail"_t, false);
        EXPECT_EQ(entry.call(), status::kFeatureRemoved) << entry.name;
        EXPECT_EQ(Str(ErrorDetail()), entry.name) << entry.name;
    }
}

TEST_F(DataAccessTest, TwoOperationsInARowLeaveTheSecondName) {
    EXPECT_EQ(DataFileFind(2, 1), status::kFeatureRemoved);
    EXPECT_EQ(DataFileWrite(2), status::kFeatureRemoved);
    EXPECT_EQ(Str(ErrorDetail()), "DataFileWrite");
}

TEST_F(DataAccessTest, ThePendingErrorStaysTheEarlierOne) {
    NoteFirstError(1, step::kExpExec, status::kSyntax, status::kSyntax);
    for (const EntryPoint& entry : EntryPoints()) {
        entry.call();
        EXPECT_EQ(RecordedError().status, status::kSyntax) << entry.name;
        EXPECT_EQ(RecordedError().step, step::kExpExec) << entry.name;
    }
}

TEST_F(DataAccessTest, NoPendingErrorIsCreatedEither) {
    for (const EntryPoint& entry : EntryPoints()) entry.call();
    EXPECT_EQ(RecordedError().status, 0);
}

TEST_F(DataAccessTest, RecordBufferQueriesGiveFixedAnswers) {
    const TextRef value = BufferFldGet(1, 1);
    EXPECT_FALSE(value.failed());
    EXPECT_EQ(value.size(), 0);
    EXPECT_EQ(BufferControlBlock(3), nullptr);
    for (const char* action : {"NEW", "NXT", "PRN", "XYZ", ""}) {
        EXPECT_EQ(RecordActionCode(TextView(action)), kNoMoveCode) << action;
    }
    LogErrorText(0, "kept"_t, false);
    DataFileAdded(1);
    DataScreenOpening(1);
    EXPECT_EQ(Str(ErrorDetail()), "kept");
}

} // namespace
} // namespace vodarir
