// Tells whether this machine runs programs of the build's architecture: it
// exits with the width of a pointer in bits (32 or 64) when it ran at all.
int main() {
    return static_cast<int>(sizeof(void*) * 8);
}
