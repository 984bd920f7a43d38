/* The layer as a C program sees it: the header compiles as C and the calls link. */
#include "portability/zur.h"

int zurCheckFromC(void) {
    char directory[8];
    ZurStatus status = zur_ok(0);
    zur_dirname(directory, "a/b", sizeof directory);
    return status.code == ZUR_CODE_OK && zur_strcmp(directory, "a") == 0 &&
           zur_path_acceptable("logs") && zur_thread_id() == 0;
}
