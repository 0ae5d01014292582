// TextFill: "%s" substitution without printf.
#include "runtime/text/text_fill.h"

#include <string>

#include "runtime/text/error_trail.h"
#include "runtime/text/text_ops.h"

namespace vodarir {

TextRef TextFill(std::uint16_t maximum, TextRef format, std::initializer_list<TextRef> values) {
    if (format.failed()) return format;
    for (const TextRef v : values) {
        if (v.failed()) return v;
    }
    const std::string_view f = format.view();
    const TextRef* next = values.begin();
    std::string out;
    for (std::size_t i = 0; i < f.size(); ++i) {
        const bool conversion = f[i] == '%' && i + 1 < f.size();
        if (conversion && f[i + 1] == 's') {
            if (next != values.end()) out += (next++)->view();
            ++i;
        } else if (conversion && f[i + 1] == '%') {
            out += '%';
            ++i;
        } else {
            out += f[i];
        }
        if (out.size() > maximum) break;
    }
    if (out.size() > maximum) {
        return ErrorCheckText(1, step::kFormatString, status::kStringTooLong,
                              TextRef::Failed(status::kStringTooLong));
    }
    return TextDup(TextRef(out.data(), static_cast<std::uint16_t>(out.size())));
}

} // namespace vodarir
