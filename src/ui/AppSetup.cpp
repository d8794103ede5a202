#include "ui/AppSetup.h"

#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

void setUpApplication(QApplication& app) {
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));

    auto* translator = new QTranslator(&app);
    if (translator->load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"),
                         QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(translator);
    else
        delete translator;

#ifdef Q_OS_WIN
    // 宋体 is SimSun, which every Chinese Windows has, under its English name too.
    QFont::insertSubstitution(QStringLiteral("宋体"), QStringLiteral("SimSun"));
#else
    const QStringList song = {QStringLiteral("SimSun"), QStringLiteral("NSimSun"),
                              QStringLiteral("Noto Serif CJK SC"),
                              QStringLiteral("AR PL UMing CN")};
    QFont::insertSubstitutions(QStringLiteral("宋体"), song);
    QFont::insertSubstitutions(QStringLiteral("SimSun"), song.mid(1));
    QFont::insertSubstitutions(QStringLiteral("Arial"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
#endif
}
