/* The I/O floor of a run: walk a folder tree and read the first 8 KiB of
 * every plain file whose extension is listed. Nothing can be faster than
 * this while still opening every document, so the batch program's rate is
 * compared with it. Usage: tbx-iofloor FOLDER [EXT...] ; prints the count. */
#define _GNU_SOURCE /* FTW_ACTIONRETVAL lets the walk skip hidden folders */
#include <fcntl.h>
#include <ftw.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>

static char **g_ext;
static int g_next;
static long g_files;

static int wanted(const char *path) {
  const char *dot = strrchr(path, '.');
  const char *slash = strrchr(path, '/');
  if (g_next == 0) return 1;
  if (!dot || (slash && dot < slash)) return 0;
  for (int i = 0; i < g_next; ++i)
    if (strcmp(dot + 1, g_ext[i]) == 0) return 1;
  return 0;
}

static int visit(const char *path, const struct stat *st, int type, struct FTW *ftw) {
  (void)st;
  const char *name = path + ftw->base;
  if (name[0] == '.' && ftw->level > 0) return type == FTW_D ? FTW_SKIP_SUBTREE : FTW_CONTINUE;
  if (type != FTW_F || !wanted(path)) return FTW_CONTINUE;
  char buf[8192];
  int fd = open(path, O_RDONLY);
  if (fd >= 0) {
    if (read(fd, buf, sizeof buf) >= 0) ++g_files;
    close(fd);
  }
  return FTW_CONTINUE;
}

int main(int argc, char **argv) {
  if (argc < 2) {
    fprintf(stderr, "usage: %s FOLDER [EXT...]\n", argv[0]);
    return 2;
  }
  g_ext = argv + 2;
  g_next = argc - 2;
  if (nftw(argv[1], visit, 64, FTW_PHYS | FTW_ACTIONRETVAL) != 0) {
    perror("nftw");
    return 1;
  }
  printf("%ld\n", g_files);
  return 0;
}
