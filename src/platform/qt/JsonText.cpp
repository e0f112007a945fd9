#include "platform/qt/JsonText.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonValue>

namespace pdfunlock {

namespace {

// Qt writes whole documents only: the value is written as the one element of
// an array, and the brackets are taken off.
std::string jsonValue(const JsonValue& member) {
    const auto& text = member.text();
    const QJsonValue value =
        text              ? QJsonValue(QString::fromUtf8(text->data(), qsizetype(text->size())))
        : member.number() ? QJsonValue(qint64(*member.number()))
                          : QJsonValue();
    const QByteArray array = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
    return array.mid(1, array.size() - 2).toStdString();
}

} // namespace

std::string jsonObjectLine(const std::vector<std::pair<std::string, JsonValue>>& members) {
    std::string line = "{";
    for (const auto& [name, value] : members) {
        if (line.size() > 1) {
            line += ", ";
        }
        line += jsonValue(name) + ": " + jsonValue(value);
    }
    return line + "}";
}

std::string readableText(const std::string& bytes) {
    return QString::fromUtf8(bytes.data(), qsizetype(bytes.size())).toStdString();
}

std::string base64(const std::string& bytes) {
    return QByteArray::fromRawData(bytes.data(), qsizetype(bytes.size())).toBase64().toStdString();
}

} // namespace pdfunlock
