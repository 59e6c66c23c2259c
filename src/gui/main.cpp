#include "app/editor_application.h"

int main(int argc, char** argv) {
    return qx::runEditor(argc, argv);
}
