#pragma once

#include "report/Document.h"

#include <QByteArray>
#include <QList>

namespace report {

// The text a PDF reader copies or searches comes from each embedded font's map of glyphs to
// characters. The map the PDF writer makes names, for each glyph, the lowest character the
// face draws with it: a CJK face draws 十 and the Kangxi radical ⼗ (U+2F17) alike, so a saved
// "十" read back as "⼗", and a glyph the shaper picked that the face maps from no character
// (its digits after Latin letters) read back as nothing.
//
// This rebuilds those maps from what was painted: the glyphs of each page's content, in
// order, stand for the characters of the texts painted on it, in the same order. A page whose
// glyphs do not line up with its texts keeps the writer's map. A glyph shared by two different
// characters that both appear in the file names the first one painted.
namespace PdfTextLayer {

// The pages painted on each page of the PDF, in painting order (a page and its overlay).
using PaintedPages = QList<QList<const Page*>>;

// The PDF file's bytes with its text maps rebuilt; the bytes as they are when the file is not
// laid out the way the writer lays out its files.
QByteArray rebuilt(const QByteArray& pdf, const PaintedPages& painted);

} // namespace PdfTextLayer

} // namespace report
