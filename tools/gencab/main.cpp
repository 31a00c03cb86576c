#include "gencab.h"

int main(int argc, char** argv)
{
    return gencab_principal(argc, argv);
}
