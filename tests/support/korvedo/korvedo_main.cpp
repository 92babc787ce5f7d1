// korvedo_target [TITLE [LOG]]: a window titled TITLE (default "Korvedo")
// whose text box appends each line entered to the file LOG.
#include <QApplication>

#include "korvedo_window.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    const QString title = arguments.size() > 1 ? arguments.at(1) : QStringLiteral("Korvedo");
    const QString log = arguments.size() > 2 ? arguments.at(2) : QString();
    KorvedoWindow window(title, log);
    window.show();
    return app.exec();
}
