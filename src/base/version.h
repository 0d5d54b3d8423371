#pragma once

#include <QString>

/// A program version: major, minor and build. The default (-1, -1, -1) is invalid.
class Version
{
public:
    Version() = default;
    Version(int major, int minor, int build);

    int major() const { return m_major; }
    int minor() const { return m_minor; }
    int build() const { return m_build; }
    bool isValid() const;

    /// Reads "1", "1.2" or "1.2.3" (empty parts between dots are skipped, missing parts are 0);
    /// anything else gives the invalid version.
    static Version fromString(const QString& text);
    /// "major.minor.build".
    QString toString() const;

    bool operator<(const Version& other) const;
    bool operator==(const Version& other) const;
    bool operator!=(const Version& other) const { return !(*this == other); }

private:
    int m_major = -1;
    int m_minor = -1;
    int m_build = -1;
};
