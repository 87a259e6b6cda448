#include "app/Run.h"

int main(int argc, char** argv) {
    return pagesmith::run(argc, argv);
}
