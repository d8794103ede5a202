#pragma once

#include <QString>
#include <QUrl>

// The product web site and the support mail address. A business that ships the program puts
// its own here; every link of the program is built from these two.
namespace Links {

inline const QString kSite = QStringLiteral("https://www.example.com/");
inline const QString kSupportMail = QStringLiteral("support@example.com");

inline QUrl homePage() {
    return QUrl(kSite);
}
// Frequently asked questions.
inline QUrl questionsPage() {
    return QUrl(kSite + QStringLiteral("zqques.htm"));
}
inline QUrl supportMail() {
    return QUrl(QStringLiteral("mailto:") + kSupportMail);
}

} // namespace Links
