/* The system-call floor of one log append, the anchor the storage layer's
 * append is measured against: open the table, take the append lock, read the
 * 32 header bytes, write the record with its end-of-file byte, write the
 * header with the new count, unlock, close. No field is encoded, nothing is
 * checked beyond the calls' results: no real program can do less.
 *
 * With "shared" it also takes, right after the open, the read lock on the
 * share byte that every shared open of the storage layer holds until it
 * closes (so that an exclusive open elsewhere is refused). That is the floor
 * of any append that keeps the platform's share modes.
 *
 * usage: floor_append TABLE COUNT [shared]   (TABLE: an existing table of
 * 340-byte records, such as an empty mailing log). Prints the seconds for all
 * appends.
 */
#define _GNU_SOURCE
#include <fcntl.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

/* The append and share lock bytes of the storage layer, far beyond any data. */
static const off_t kAppendLockOffset = 0x40000000 + 1;
static const off_t kShareLockOffset = 0x3FFFFFF0;

static int lockByte(int fd, off_t offset, short type) {
  struct flock request;
  memset(&request, 0, sizeof request);
  request.l_type = type;
  request.l_whence = SEEK_SET;
  request.l_start = offset;
  request.l_len = 1;
  return fcntl(fd, F_OFD_SETLK, &request);
}

int main(int argc, char** argv) {
  const int shared = argc == 4 && strcmp(argv[3], "shared") == 0;
  if (argc != 3 && !shared) {
    fprintf(stderr, "usage: floor_append TABLE COUNT [shared]\n");
    return 2;
  }
  const long count = strtol(argv[2], NULL, 10);
  char record[341];
  memset(record, ' ', sizeof record);
  memcpy(record + 1, "Jose Recipient", 14);
  record[340] = 0x1A;
  struct timespec start, end;
  clock_gettime(CLOCK_MONOTONIC, &start);
  for (long n = 0; n < count; ++n) {
    const int fd = open(argv[1], O_RDWR | O_CLOEXEC);
    unsigned char header[32];
    if (fd < 0 || (shared && lockByte(fd, kShareLockOffset, F_RDLCK) != 0) ||
        lockByte(fd, kAppendLockOffset, F_WRLCK) != 0 || pread(fd, header, 32, 0) != 32) {
      perror(argv[1]);
      return 1;
    }
    uint32_t records = header[4] | header[5] << 8 | header[6] << 16 | (uint32_t)header[7] << 24;
    const off_t headerLength = header[8] | header[9] << 8;
    const off_t recordLength = header[10] | header[11] << 8;
    if (recordLength != 340 ||
        pwrite(fd, record, sizeof record, headerLength + records * recordLength) !=
            (ssize_t)sizeof record) {
      fprintf(stderr, "%s: not a table of 340-byte records, or a failed write\n", argv[1]);
      return 1;
    }
    ++records;
    header[4] = records & 0xFF;
    header[5] = (records >> 8) & 0xFF;
    header[6] = (records >> 16) & 0xFF;
    header[7] = records >> 24;
    if (pwrite(fd, header, 32, 0) != 32 || lockByte(fd, kAppendLockOffset, F_UNLCK) != 0 ||
        close(fd) != 0) {
      perror(argv[1]);
      return 1;
    }
  }
  clock_gettime(CLOCK_MONOTONIC, &end);
  printf("%.4f\n", (double)(end.tv_sec - start.tv_sec) + (end.tv_nsec - start.tv_nsec) / 1e9);
  return 0;
}
