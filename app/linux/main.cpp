#include "app/app_main.h"

#ifdef __EMSCRIPTEN__
#include "app/web_start.h"

int main(int argc, char** argv) { return start_in_browser(argc, argv); }
#else
int main(int argc, char** argv) { return app_main(argc, argv); }
#endif
