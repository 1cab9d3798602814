int QmMain(int argc, char** argv);

int main(int argc, char** argv) { return QmMain(argc, argv); }
