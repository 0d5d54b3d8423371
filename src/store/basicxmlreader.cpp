#include "store/basicxmlreader.h"

#include "base/log.h"

void BasicXmlReader::dropUnpairedSurrogates(QString& text)
{
    // Rare: most texts hold no surrogate at all and are left untouched.
    qsizetype i = 0;
    while (i < text.size() && !text.at(i).isSurrogate())
        ++i;
    if (i == text.size())
        return;
    QString kept = text.left(i);
    for (; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            kept += c;
            kept += text.at(++i);
        } else if (!c.isSurrogate()) {
            kept += c;
        }
    }
    text = kept;
}

bool BasicXmlReader::readText(QString& out)
{
    QString text;
    bool sawText = false;
    // Character references and CDATA sections may split one text into several tokens.
    while (!hasError()) {
        const TokenType token = readNext();
        if (token == Characters) {
            if (sawText)
                text += this->text();
            else
                text = this->text().toString();
            sawText = true;
        } else if (token == EndElement) {
            if (sawText) {
                dropUnpairedSurrogates(text);
                out = std::move(text);
            }
            break;
        } else if (token != Invalid) {
            _fail(QStringLiteral("Unexpected ") + tokenString() + QStringLiteral(" inside a text element"));
        }
    }
    return !hasError();
}

void BasicXmlReader::_fail(const QString& message)
{
    MRV_CRITICAL("BasicXmlReader::_fail", QStringLiteral("Xml reader failed: ") + message);
    raiseError(message);
}
