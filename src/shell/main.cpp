#include "fonts.h"
#include "host.h"
#include "tabidori.h"

#include <QApplication>
#include <QFont>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("TabiDori"));
    QApplication::setQuitOnLastWindowClosed(false);
    platform::registerFontSubstitutions();
    QApplication::setFont(QFont(QString::fromUtf8(platform::kProportionalGothic), 9));

    const int status = Main(QApplication::arguments().mid(1));
    if (status >= 0 || platform::ending())
        return status >= 0 ? status : 0;
    return app.exec();
}
