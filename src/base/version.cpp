#include "base/version.h"

#include <QStringList>

#include <tuple>

Version::Version(int major, int minor, int build)
    : m_major(major)
    , m_minor(minor)
    , m_build(build)
{
}

bool Version::isValid() const
{
    return m_major >= 0 && m_minor >= 0 && m_build >= 0;
}

Version Version::fromString(const QString& text)
{
    const QStringList parts = text.split(QLatin1Char('.'), Qt::SkipEmptyParts);
    if (parts.isEmpty() || parts.size() > 3)
        return Version();
    int numbers[3] = {0, 0, 0};
    for (int i = 0; i < parts.size(); ++i) {
        bool ok = false;
        numbers[i] = parts.at(i).toInt(&ok, 10);
        if (!ok)
            return Version();
    }
    return Version(numbers[0], numbers[1], numbers[2]);
}

QString Version::toString() const
{
    return QStringLiteral("%1.%2.%3").arg(m_major).arg(m_minor).arg(m_build);
}

bool Version::operator<(const Version& other) const
{
    return std::tie(m_major, m_minor, m_build) < std::tie(other.m_major, other.m_minor, other.m_build);
}

bool Version::operator==(const Version& other) const
{
    return m_major == other.m_major && m_minor == other.m_minor && m_build == other.m_build;
}
