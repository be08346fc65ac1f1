// zorbel-bench-songs: saves the benchmark songs as song files (DIR/NAME.SEQ), so that any build
// of zorbel-render can play exactly the same songs under an instruction counter.
#include <cstdio>
#include <string>

#include "bench/bench_songs.h"
#include "engine/init_engine.h"
#include "files/song_file.h"

int main(int argc, char** argv) {
  using namespace zorbel;
  if (argc != 2) {
    std::fputs("usage: zorbel-bench-songs DIR\nWrites the benchmark songs into DIR and lists them.\n",
               stderr);
    return 2;
  }
  for (const bench::BenchSong& s : bench::bench_songs()) {
    init_engine(static_cast<uint32_t>(s.seed));
    bench::build_bench_song(s);
    const std::string path = std::string(argv[1]) + "/" + s.name + ".SEQ";
    if (!save_song_to_path(path)) {
      std::fprintf(stderr, "zorbel-bench-songs: cannot write %s\n", path.c_str());
      return 1;
    }
    std::printf("%s %zu\n", s.name, s.types.size());
  }
  return 0;
}
