#pragma once
// The inspection tool behind tabellix-props.
#include <QStringList>
#include <cstdio>

namespace tbx {

// commandLine: [--help | --version | --aliases | [--] FILE [NAME...]].
// Writes the listing or the NAME<TAB>VALUE lines to out (UTF-8; tab, CR and
// LF in values written as \t, \r, \n) and errors, "tabellix-props: ...", to
// err (help, version and option errors go to stdout and stderr). Returns 0,
// 1 when the document or a name could not be read, 2 for a wrong call.
int RunPropsTool(const QStringList& commandLine, std::FILE* out, std::FILE* err);

}  // namespace tbx
