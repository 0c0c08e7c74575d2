#pragma once
// The inspection tool behind tabellix-props.
#include <QStringList>
#include <cstdio>

namespace tbx {

// args: FILE [NAME...]. Writes the listing or the NAME<TAB>VALUE lines to
// out (UTF-8; tab, CR and LF in values written as \t, \r, \n) and errors to
// err. Returns 0, 1 when the document could not be read, 2 for a wrong call.
int RunPropsTool(const QStringList& args, std::FILE* out, std::FILE* err);

}  // namespace tbx
