#pragma once
// The chief header of text/: the legacy encodings that reach Tabellix from
// outside — Windows-1252 in document property sets, file names of older file
// servers and configuration files written on Windows, and the byte-order
// marks of configuration files saved by Windows editors. A leaf library
// (QtCore only): the file formats, the configuration reader and the file
// system seam all decode through it.
//
// Public operations:
//   DecodeWindows1252(bytes)         every byte as Windows-1252
//   DecodeUtf8OrWindows1252(bytes)   UTF-8 when the bytes are valid UTF-8, else Windows-1252
//   DecodeTextFile(bytes)            a text file: BOM (UTF-8, UTF-16 LE/BE), else as above
//   EscapeControlCharacters(text)    control characters as \n, \r, \xNN for logs and terminals
#include "text/ControlCharacters.h"
#include "text/Encodings.h"
