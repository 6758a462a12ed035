// Build tool: writes the program's logo as a square PNG for the installed
// icon. Usage: pellmark_render_icon OUTPUT.png SIZE
#include <QGuiApplication>
#include <QPixmap>
#include <cstdio>
#include <cstdlib>

#include "app/ui/Logo.h"

int main(int argc, char** argv) {
    if (argc != 3 || atoi(argv[2]) < 1) {
        fprintf(stderr, "usage: pellmark_render_icon OUTPUT.png SIZE\n");
        return 2;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    if (!PellmarkLogo(atoi(argv[2])).save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        fprintf(stderr, "pellmark_render_icon: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
