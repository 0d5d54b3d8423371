#pragma once

#include <QXmlStreamReader>

/// A stream reader with the failure routine shared by the program's XML files.
class BasicXmlReader : public QXmlStreamReader
{
public:
    BasicXmlReader() = default;

    /// Reads the text of the current element up to its end element into `out`; an empty
    /// element leaves `out` unchanged. Any child element or other token fails the reading.
    /// Returns whether the stream is still free of errors.
    bool readText(QString& out);
    /// Removes surrogates without their partner: the writer could not keep them, so what is
    /// read is what the next write keeps.
    static void dropUnpairedSurrogates(QString& text);

protected:
    /// Logs the failure and raises a stream error, which ends every reading loop.
    void _fail(const QString& message);
};
