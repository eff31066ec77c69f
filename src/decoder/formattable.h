#pragma once

// The list of picture formats the game opens, each with its entry in the file of its decoder.

#include <QByteArrayList>
#include <QByteArrayView>

namespace tilmora {

class PictureFormat;

// The entry whose format the first bytes of a file announce, if any: a file of no format here is
// refused, named when Qt's readers know it. The format is decided here,
// from the content alone: Qt's own detection would try every reader it has, the ones the game
// refuses included, and fall back on the file's extension.
[[nodiscard]] const PictureFormat* formatOf(QByteArrayView head);

// Whether the game opens the format Qt's readers call `name` ("jpeg").
[[nodiscard]] bool opensFormatNamed(QByteArrayView name);

// The names of the entries, in the table's order (the list offered to the desktop must match it).
[[nodiscard]] QByteArrayList openedFormatNames();

// Lets each entry ready what its decoder needs before the decoder helper walls itself in.
void prepareEveryFormatBeforeWall();

} // namespace tilmora
