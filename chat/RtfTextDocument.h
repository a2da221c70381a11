#pragma once

#include "codec/Rtf.h"

#include <QTextDocument>

namespace parlino {

// One paragraph per text block, the last block being the open tail.
rtf::Document RtfOfTextDocument(const QTextDocument& document);

// Replaces the whole content. Characters that would split a block are kept inside their paragraph.
void LoadRtfIntoTextDocument(QTextDocument& document, const rtf::Document& rtf);

} // namespace parlino
