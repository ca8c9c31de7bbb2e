// The sample's language packs as `make demo` serves them: the installer runs
// one with "/s" after the product; it has nothing to install and ends at once.
int main() { return 0; }
