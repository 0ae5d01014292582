// The About box.
#pragma once

namespace vodarir {

// The year, the product, the version, the program path and its folders in an information box.
void AboutShow();

} // namespace vodarir
