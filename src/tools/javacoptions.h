#pragma once

#include <QString>
#include <QStringList>

namespace bp {

// What a compile puts between the compiler and the source file on its
// command line.
struct TJavacOptions {
    // Option text as a project keeps it (" -nowarn -g"): split into words as
    // a shell would split them, quotes respected, nothing expanded.
    QString Options;
    // Each of these goes in only when it is not empty.
    QString ClassPath;  // -classpath
    QString OutputDir;  // -d
    QString SourceRoot; // -sourcepath

    friend bool operator==(const TJavacOptions&, const TJavacOptions&) = default;
};

// The compiler's arguments for one source file: the options, then the file.
QStringList JavacArguments(const TJavacOptions& options, const QString& sourcePath);

// The package a Java text declares ("a.b" for `package a.b;`), read past
// comments and annotations; empty for none.
QString JavaPackageName(const QString& text);

// The folder a source file's packages start in: for a file declaring
// `package a.b;` that lies in a folder ending in a/b, the folder above a.
// Empty when the text declares no package or the folders do not match it.
QString JavaSourceRoot(const QString& sourcePath, const QString& text);

} // namespace bp
