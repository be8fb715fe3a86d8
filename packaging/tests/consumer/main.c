/* consumer_c ORIGINAL MODIFIED FOLDER: the same round trip as main.cpp,
   from C, to show that the core's header is C as well. */
#include <TarvoCore.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static char* Contents(const char* path, long* size) {
  FILE* f = fopen(path, "rb");
  char* data = NULL;
  if (f == NULL) return NULL;
  if (fseek(f, 0, SEEK_END) == 0 && (*size = ftell(f)) >= 0 && fseek(f, 0, SEEK_SET) == 0) {
    data = malloc((size_t)*size + 1);
    if (data != NULL && fread(data, 1, (size_t)*size, f) != (size_t)*size) {
      free(data);
      data = NULL;
    }
  }
  fclose(f);
  return data;
}

int main(int argc, char** argv) {
  char delta[4096], rebuilt[4096];
  S_TARVO_CONSTRUCT_OPTIONS options = {sizeof options, 0, 0, 0, 1, TARVO_MATCHER_STANDARD, TARVO_COMPRESSOR_STANDARD, 0, NULL};
  E_TARVO_ERROR e;
  long expectedSize = 0, rebuiltSize = 0;
  char *expected, *got;
  int same;
  if (argc != 4) return 2;
  snprintf(delta, sizeof delta, "%s/pair-c.mvr", argv[3]);
  snprintf(rebuilt, sizeof rebuilt, "%s/rebuilt-c", argv[3]);
  e = ConstructDeltaFile(argv[1], argv[2], delta, NULL, &options);
  if (e != TARVO_OK) {
    printf("construction: %d\n", (int)e);
    return 1;
  }
  e = ReconstructTargetFile(argv[1], delta, rebuilt, NULL, NULL);
  if (e != TARVO_OK) {
    printf("reconstruction: %d\n", (int)e);
    return 1;
  }
  expected = Contents(argv[2], &expectedSize);
  got = Contents(rebuilt, &rebuiltSize);
  same = expected != NULL && got != NULL && expectedSize > 0 && expectedSize == rebuiltSize &&
         memcmp(expected, got, (size_t)expectedSize) == 0;
  free(expected);
  free(got);
  if (!same) {
    printf("the rebuilt file differs\n");
    return 1;
  }
  return 0;
}
