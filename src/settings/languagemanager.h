#pragma once

#include <QString>
#include <QStringList>

#include <memory>

class QTranslator;

/// The interface languages the program carries and the one in force. Each language other than
/// English comes as two compiled-in Qt message files: the program's own texts
/// (":/Language/<locale>/translation") and the toolkit's (":/Language/<locale>/qt_translation").
/// Switching installs new translators, so every open window receives a language-change event
/// and sets its texts again. User-interface thread only.
class LanguageManager
{
public:
    /// English is the language of the source texts; it has no files.
    static QString englishLanguage() { return QStringLiteral("en_US"); }

    ~LanguageManager();
    LanguageManager(const LanguageManager&) = delete;
    LanguageManager& operator=(const LanguageManager&) = delete;

    /// "en_US" followed by every carried language, in the order of the resource folder.
    QStringList availableLanguages() const { return m_availableLanguages; }
    /// The locale name last applied; empty before the first switch.
    QString currentLanguage() const { return m_currentLanguage; }
    /// Whether `locale` names a locale and its program translation is carried (directly or
    /// through the folder of its language part: "pt" for "pt_BR").
    bool isLanguageAvailable(const QString& locale) const;
    /// Installs the translations of `locale` (removes them for English) and makes it the default
    /// locale. False, and nothing changed, when the language is not carried or does not load.
    bool setLanguage(const QString& locale);
    /// Applies the language stored in the settings, if any.
    void applySavedLanguage();
    /// Stores the current language in the settings.
    void storeCurrentLanguage();

    /// The program translation file of `locale`, after the language-part fallback; empty when
    /// there is none.
    static QString translationFile(const QString& locale);
    /// The same for the toolkit's own texts.
    static QString qtTranslationFile(const QString& locale);
    /// The name shown in the language list: "English", or the language's own name with a
    /// capital first letter.
    static QString displayName(const QString& locale);

    /// The process-wide manager, created on first use.
    static LanguageManager* instance();
    /// Removes the installed translators and deletes the manager.
    static void destroy();

private:
    LanguageManager();
    void removeTranslators();

    QString m_currentLanguage;
    QStringList m_availableLanguages;
    std::unique_ptr<QTranslator> m_appTranslator;
    std::unique_ptr<QTranslator> m_qtTranslator;
    std::unique_ptr<QTranslator> m_qtFallbackTranslator;
};

/// The process-wide language manager.
inline LanguageManager* languageManager()
{
    return LanguageManager::instance();
}
