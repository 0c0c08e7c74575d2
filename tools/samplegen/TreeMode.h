#pragma once
// "document" and "tree" modes of the sample generator.
#include <QString>

namespace tbx::samplegen {

// One document of kind (par, psm, asm, dft) at path; manifest may be "".
int WriteOneDocument(const QString& path, const QString& kind, quint64 seed, const QString& manifest);

// count documents in nested folders below root, with distractors and a few
// damaged documents; the manifest lists every file written.
int WriteTree(const QString& root, int count, quint64 seed, const QString& manifest);

}  // namespace tbx::samplegen
