#pragma once
// File and folder names as a POSIX file system keeps them: bytes. Names on older
// file servers and shares are often Latin-1 or Windows-1252, not UTF-8. Such
// a name is shown decoded (bytes that are not UTF-8 read as Windows-1252,
// like the configuration file), but must be opened by its own bytes, which
// the decoded text no longer gives. Every path a listing or the command line
// brought in is therefore remembered with its bytes, and every system call
// asks NativePath for the bytes of the path it is given.
#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace tbx {

// The bytes of path: those it was found under when a listing or the command
// line brought it (or its folder) in, else its UTF-8 form.
QByteArray NativePath(const QString& path);

// The text of a path given as bytes (a command-line argument), decoded name
// by name and remembered with its bytes when they differ from the text's
// UTF-8 form.
QString PathFromNative(const QByteArray& bytes);

// Remembers that the path text is found under bytes (a listing's folder and
// entry); nothing is kept when bytes are the text's UTF-8 form.
void RememberNativePath(const QString& text, const QByteArray& bytes);

}  // namespace tbx
