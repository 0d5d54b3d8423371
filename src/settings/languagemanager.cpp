#include "settings/languagemanager.h"

#include "base/log.h"
#include "settings/appsettings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QTranslator>

namespace {

LanguageManager*& instancePointer()
{
    static LanguageManager* pointer = nullptr;
    return pointer;
}

const QString& resourceRoot()
{
    static const QString root = QStringLiteral(":/Language");
    return root;
}

// ":/Language/<locale>/<file>", or the same in the folder of the language part when the
// locale has no file of its own.
QString findFile(const QString& locale, const QString& file)
{
    const QString exact = resourceRoot() + QLatin1Char('/') + locale + QLatin1Char('/') + file;
    if (QFileInfo::exists(exact))
        return exact;
    const int underscore = locale.indexOf(QLatin1Char('_'));
    if (underscore <= 0)
        return QString();
    const QString language = resourceRoot() + QLatin1Char('/') + locale.left(underscore) + QLatin1Char('/') + file;
    return QFileInfo::exists(language) ? language : QString();
}

bool isLocaleName(const QString& name)
{
    return QLocale(name).language() != QLocale::C;
}

} // namespace

LanguageManager* LanguageManager::instance()
{
    LanguageManager*& pointer = instancePointer();
    if (!pointer)
        pointer = new LanguageManager;
    return pointer;
}

void LanguageManager::destroy()
{
    LanguageManager*& pointer = instancePointer();
    delete pointer;
    pointer = nullptr;
}

LanguageManager::LanguageManager()
{
    m_availableLanguages.append(englishLanguage());
    const QStringList entries =
        QDir(resourceRoot()).entryList(QDir::NoFilter, QDir::Name | QDir::IgnoreCase);
    for (const QString& entry : entries) {
        if (isLanguageAvailable(entry) && !m_availableLanguages.contains(entry))
            m_availableLanguages.append(entry);
    }
}

LanguageManager::~LanguageManager()
{
    removeTranslators();
}

void LanguageManager::removeTranslators()
{
    if (m_appTranslator)
        QCoreApplication::removeTranslator(m_appTranslator.get());
    if (m_qtTranslator)
        QCoreApplication::removeTranslator(m_qtTranslator.get());
    if (m_qtFallbackTranslator)
        QCoreApplication::removeTranslator(m_qtFallbackTranslator.get());
    m_appTranslator.reset();
    m_qtTranslator.reset();
    m_qtFallbackTranslator.reset();
}

QString LanguageManager::translationFile(const QString& locale)
{
    return findFile(locale, QStringLiteral("translation"));
}

QString LanguageManager::qtTranslationFile(const QString& locale)
{
    return findFile(locale, QStringLiteral("qt_translation"));
}

bool LanguageManager::isLanguageAvailable(const QString& locale) const
{
    return isLocaleName(locale) && !translationFile(locale).isEmpty();
}

bool LanguageManager::setLanguage(const QString& locale)
{
    const QString appFile = isLocaleName(locale) ? translationFile(locale) : QString();
    if (appFile.isEmpty()) {
        if (!isLocaleName(locale) || QLocale(locale).language() != QLocale::English) {
            MRV_WARNING("LanguageManager::setLanguage", QStringLiteral("No translation for ") + locale);
            return false;
        }
        removeTranslators();
    } else {
        auto appTranslator = std::make_unique<QTranslator>();
        if (!appTranslator->load(appFile)) {
            MRV_WARNING("LanguageManager::setLanguage", QStringLiteral("Cannot load ") + appFile);
            return false;
        }
        // The toolkit's texts first: the program's own translator, installed last, is asked
        // first and so wins where both translate a text.
        auto qtTranslator = std::make_unique<QTranslator>();
        const QString qtFile = qtTranslationFile(locale);
        const bool qtLoaded = !qtFile.isEmpty() && qtTranslator->load(qtFile);
        auto qtFallback = std::make_unique<QTranslator>();
        const QString fallbackFile = findFile(locale, QStringLiteral("qt_fallback"));
        const bool fallbackLoaded = !fallbackFile.isEmpty() && qtFallback->load(fallbackFile);
        removeTranslators();
        // Installed first, asked last: only for what the toolkit's own catalogue lacks.
        m_qtFallbackTranslator = std::move(qtFallback);
        if (fallbackLoaded)
            QCoreApplication::installTranslator(m_qtFallbackTranslator.get());
        m_qtTranslator = std::move(qtTranslator);
        if (qtLoaded)
            QCoreApplication::installTranslator(m_qtTranslator.get());
        m_appTranslator = std::move(appTranslator);
        QCoreApplication::installTranslator(m_appTranslator.get());
    }
    QLocale::setDefault(QLocale(locale));
    // Dates are shown and typed in the system's own order of day and month whatever the
    // language: 03/04 must not change its meaning with the interface.
    AppSettings::settings()->setDateFormat(QLocale::system().dateFormat(QLocale::ShortFormat));
    m_currentLanguage = locale;
    return true;
}

void LanguageManager::applySavedLanguage()
{
    const QString saved = AppSettings::settings()->uiLanguage();
    if (!saved.isEmpty())
        setLanguage(saved);
}

void LanguageManager::storeCurrentLanguage()
{
    AppSettings::settings()->setUiLanguage(m_currentLanguage);
}

QString LanguageManager::displayName(const QString& locale)
{
    if (locale == englishLanguage())
        return QStringLiteral("English");
    QString name = QLocale(locale).nativeLanguageName();
    if (!name.isEmpty())
        name[0] = name.at(0).toUpper();
    return name;
}
