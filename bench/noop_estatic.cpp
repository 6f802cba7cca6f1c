// The yardstick for start-up cost: a program that does nothing.
int main() { return 0; }
