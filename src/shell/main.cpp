#include "fonts.h"
#include "host.h"
#include "tabidori.h"

#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QTranslator>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("TabiDori"));
    QApplication::setQuitOnLastWindowClosed(false);
    platform::registerFontSubstitutions();
    // The whole interface is Japanese, whatever the locale: Qt's own dialogs and buttons
    // (the file dialog, Yes and No) must not mix English into it.
    QTranslator qtJapanese;
    if (qtJapanese.load(QStringLiteral("qtbase_ja"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtJapanese);
    QApplication::setFont(QFont(QString::fromUtf8(platform::kProportionalGothic), 9));

    const int status = Main(QApplication::arguments().mid(1));
    if (status >= 0 || platform::ending())
        return status >= 0 ? status : 0;
    return app.exec();
}
