// The yardstick for the command-line tool: a program that only writes the
// bytes of a file (given as its argument) to standard output.
#include <cstdio>

int main(int argc, char** argv) {
  if (argc < 2) return 1;
  std::FILE* in = std::fopen(argv[1], "rb");
  if (!in) return 2;
  char buffer[65536];
  std::size_t n = std::fread(buffer, 1, sizeof buffer, in);
  std::fclose(in);
  std::fwrite(buffer, 1, n, stdout);
  return 0;
}
