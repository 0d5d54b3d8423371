#pragma once

// Private to mrv_sync: a quick look at the structure of iCalendar text before libical parses it.
//
// libical 3.0 parses leniently: a text cut short yields nothing or a half component without a
// word, an END that closes the wrong component is taken anyway, and a property whose name it does
// not know (an IANA property newer than it, say CONCEPT or LINK) is dropped. This scan finds the
// top-level components, tells whether each is complete, and notes the unknown property names so
// that they can be handed to libical disguised as X- properties and renamed back afterwards.

#include <QByteArray>
#include <QList>

namespace sync::ics {

/// A property whose name libical 3.0 does not know: its name starts at `offset` in the text.
struct UnknownName
{
    qsizetype offset = 0;
};

/// One top-level component of the text (normally a VCALENDAR).
struct Block
{
    qsizetype begin = 0;        ///< offset of its BEGIN line
    qsizetype end = 0;          ///< offset after its END line (the end of the text when cut short)
    int line = 0;               ///< 1-based line of its BEGIN
    QByteArray kind;            ///< its component name, upper case ("VCALENDAR")
    bool cutShort = false;      ///< the text ends inside it
    /// When cut short inside a component directly within this one: where that component begins,
    /// so that the complete part before it can still be read. -1 otherwise.
    qsizetype openChildBegin = -1;
    QByteArray openChildKind;   ///< the name of that component
    int openChildLine = 0;
    int malformedLine = 0;      ///< first line whose END does not close the open component, 0 none
    QByteArray malformedText;   ///< a short description of that line
    QList<int> todoLines;       ///< 1-based lines of the VTODOs directly inside it, in order
    QList<UnknownName> unknownNames;
};

struct Scan
{
    QList<Block> blocks;
    bool blank = true;          ///< nothing but white space (and a byte order mark)
    int strayLine = 0;          ///< first line of text outside any component, 0 none
};

/// The marker put before an unknown property name so that libical keeps it as an X- property.
inline constexpr char kUnknownNameMarker[] = "X-MRV-IANA-";

/// Scans `text`; linear in its size.
Scan scan(const QByteArray& text);

/// The text of `block` for libical: unknown property names carry kUnknownNameMarker, and a block
/// cut short is closed after its last complete component (the open one is left out).
QByteArray blockText(const QByteArray& text, const Block& block);

} // namespace sync::ics
