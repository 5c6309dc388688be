// SPDX-License-Identifier: GPL-2.0-or-later
// Directory listings for the file viewer, on the file system's own bytes:
// names are never converted, so a name that is not valid UTF-8 is listed and
// can be opened again exactly. Paths use "/" as separator.
#ifndef SORRELBY_LISTING_H
#define SORRELBY_LISTING_H

#include <QByteArray>
#include <QList>

namespace listing {

// `dir` and `name` joined by one separator, also when `dir` already ends in
// one (a volume root such as "/").
QByteArray join(const QByteArray& dir, const QByteArray& name);

// `path` without repeated and trailing separators ("/" stays "/").
QByteArray normalise(const QByteArray& path);

// True when `path` begins with `prefix`, ignoring ASCII letter case.
bool startsWithNoCase(const QByteArray& path, const QByteArray& prefix);
bool equalNoCase(const QByteArray& a, const QByteArray& b);

// The names of the visible subdirectories of `dir` (symbolic links to
// directories included, dot-names left out), in name order. `readable`, when
// given, says whether the directory could be opened.
QList<QByteArray> subdirectories(const QByteArray& dir, bool* readable = nullptr);

// True when the file name pattern matches `name`. "*" stands for any run of
// bytes, "?" for one byte; letters match regardless of case; "*.*" matches
// every name, also one without a dot.
bool matches(const QByteArray& pattern, const QByteArray& name);

// The patterns of a filter text: blank-separated, no empty pattern; runs of
// blanks count as one.
QList<QByteArray> splitPatterns(const QByteArray& filterText);

// The visible plain files of `dir` (symbolic links to files included) that
// match each pattern: one list per pattern, in the patterns' order, each in
// name order. A file that matches several patterns is in each of their lists.
// The directory is read once however many patterns there are.
QList<QList<QByteArray>> filesMatching(const QByteArray& dir, const QList<QByteArray>& patterns);

}  // namespace listing

#endif
