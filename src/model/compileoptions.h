#pragma once

#include "tools/javacoptions.h"

#include <QString>

namespace bp {

class TDocument;

// The compiler options for a document: its project's option text, class
// path and output folder when it belongs to a project (relative paths taken
// from the project file's folder, or the document's while the project is
// unsaved), and the source root its package declaration names in text.
TJavacOptions CompileOptionsFor(const TDocument& document, const QString& text);

// Creates the output folder the options name, when missing. Throws
// EBrewpadError when it cannot be made.
void PrepareOutputFolder(const TJavacOptions& options);

} // namespace bp
