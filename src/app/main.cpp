#include <cstdio>

int main() {
    std::fputs("kelvara: usage: kelvara find|replace ...\n", stderr);
    return 2;
}
