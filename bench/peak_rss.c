/* Preloaded into revstamp by the benchmark: at exit, appends the process's own peak resident
   set (VmHWM, in kB) and its own CPU time (user + system, in microseconds; Git's not included)
   to the file named by PEAK_RSS_FILE, one line "kB us". Only revstamp reports: the preload is
   taken out of the environment before any Git command starts. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/resource.h>

static char report_path[4096];

__attribute__((constructor)) static void arm(void) {
  const char *path = getenv("PEAK_RSS_FILE");
  if (path != NULL) snprintf(report_path, sizeof report_path, "%s", path);
  unsetenv("LD_PRELOAD");
}

__attribute__((destructor)) static void report(void) {
  char line[256];
  FILE *status = fopen("/proc/self/status", "r");
  if (status == NULL || report_path[0] == '\0') return;
  while (fgets(line, sizeof line, status) != NULL) {
    long kb;
    if (sscanf(line, "VmHWM: %ld kB", &kb) == 1) {
      struct rusage self;
      getrusage(RUSAGE_SELF, &self);
      long cpu_us = (self.ru_utime.tv_sec + self.ru_stime.tv_sec) * 1000000L +
                    self.ru_utime.tv_usec + self.ru_stime.tv_usec;
      FILE *out = fopen(report_path, "a");
      if (out != NULL) fprintf(out, "%ld %ld\n", kb, cpu_us), fclose(out);
    }
  }
  fclose(status);
}
