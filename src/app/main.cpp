#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::fputs("Pobi: the application is not built yet.\n", stderr);
    return 1;
}
