#include "store/basicxmlreader.h"

#include "app/log.h"

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
            if (sawText)
                out = std::move(text);
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
