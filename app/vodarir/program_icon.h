// The program's icon, drawn rather than loaded: a character screen with field bars.
#pragma once

#include <QIcon>

namespace vodarir {

QIcon ProgramIcon();

} // namespace vodarir
