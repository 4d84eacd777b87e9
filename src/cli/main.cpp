#include <cstdio>
int main() { std::puts("pelorin-cli: not built yet"); return 0; }
