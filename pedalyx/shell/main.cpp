// Placeholder entry until the window build lands.
int main() { return 0; }
