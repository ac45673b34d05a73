#pragma once
// Turning an HTTP reply body into text by the character set its Content-Type declares.
#include <QByteArray>
#include <QString>

namespace ondrava {

// The value of the "charset" parameter of a Content-Type header (quotes removed), or empty.
QByteArray CharsetOfContentType(const QByteArray& contentType);

// Decodes body by the declared character set; without one, or with one that is not known,
// the body is read as UTF-8.
QString DecodeReplyBody(const QByteArray& body, const QByteArray& contentType);

}  // namespace ondrava
