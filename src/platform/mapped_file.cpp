#include "platform/mapped_file.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <mutex>

namespace velmora {
namespace {

// Every live mapping has a slot here, so the SIGBUS handler can tell whether a fault belongs to
// one of them. Slots are claimed and freed with atomics; the handler only reads them.
constexpr int kSlots = 256;
struct Slot {
  std::atomic<std::uintptr_t> begin{0};
  std::atomic<std::uintptr_t> end{0};
  std::atomic<std::atomic<bool>*> damaged{nullptr};
};
Slot g_slots[kSlots];
struct sigaction g_previous;
std::once_flag g_installed;

void OnSigbus(int sig, siginfo_t* info, void* context) {
  const auto address = reinterpret_cast<std::uintptr_t>(info->si_addr);
  for (auto& slot : g_slots) {
    const std::uintptr_t begin = slot.begin.load(std::memory_order_acquire);
    if (begin == 0 || address < begin || address >= slot.end.load(std::memory_order_acquire)) continue;
    const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    void* pageStart = reinterpret_cast<void*>(address & ~(page - 1));  // NOLINT(performance-no-int-to-ptr)
    // A zero page over the vanished one lets the faulting read complete.
    if (mmap(pageStart, page, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0) != MAP_FAILED) {
      if (auto* flag = slot.damaged.load(std::memory_order_acquire)) flag->store(true);
      return;
    }
    break;
  }
  // Not ours: behave as if we had never been here.
  if (g_previous.sa_flags & SA_SIGINFO) {
    if (g_previous.sa_sigaction) return g_previous.sa_sigaction(sig, info, context);
  } else if (g_previous.sa_handler != SIG_DFL && g_previous.sa_handler != SIG_IGN) {
    return g_previous.sa_handler(sig);
  }
  signal(sig, SIG_DFL);
  raise(sig);
}

void InstallHandler() {
  std::call_once(g_installed, [] {
    struct sigaction action = {};
    action.sa_sigaction = OnSigbus;
    action.sa_flags = SA_SIGINFO;
    sigemptyset(&action.sa_mask);
    sigaction(SIGBUS, &action, &g_previous);
  });
}

int ClaimSlot(const std::uint8_t* data, std::size_t size, std::atomic<bool>* damaged) {
  for (int i = 0; i < kSlots; ++i) {
    std::uintptr_t expected = 0;
    const auto begin = reinterpret_cast<std::uintptr_t>(data);
    if (g_slots[i].begin.compare_exchange_strong(expected, begin)) {
      g_slots[i].damaged.store(damaged, std::memory_order_release);
      g_slots[i].end.store(begin + size, std::memory_order_release);
      return i;
    }
  }
  return -1;  // more mappings than slots: still works, only without the guard
}

}  // namespace

MappedFile::~MappedFile() { Close(); }

MappedFile::Result MappedFile::Open(const std::string& path) {
  Close();
  m_errno = 0;
  // O_NONBLOCK: opening a FIFO named like a sound file must not wait for a writer. It does not
  // change reading a regular file, and only regular files are mapped.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) {
    m_errno = errno;
    return Result::CannotOpen;
  }
  struct stat st = {};
  if (fstat(fd, &st) != 0) {
    m_errno = errno;
    ::close(fd);
    return Result::CannotOpen;
  }
  if (!S_ISREG(st.st_mode)) {
    ::close(fd);
    if (S_ISDIR(st.st_mode)) {
      m_errno = EISDIR;
      return Result::CannotOpen;
    }
    return Result::NotRegular;
  }
  if (st.st_size == 0) {
    ::close(fd);
    return Result::Empty;
  }
  // The container's sizes are 32-bit: a file of 4 GiB or more is outside the format.
  if (static_cast<std::uint64_t>(st.st_size) >= (std::uint64_t{1} << 32)) {
    ::close(fd);
    return Result::TooLarge;
  }
  InstallHandler();
  const auto size = static_cast<std::size_t>(st.st_size);
  void* view = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
  if (view == MAP_FAILED) m_errno = errno;
  ::close(fd);
  if (view == MAP_FAILED) return Result::CannotMap;
  madvise(view, size, MADV_SEQUENTIAL);
  m_data = static_cast<const std::uint8_t*>(view);
  m_size = size;
  m_released = 0;
  m_damaged.store(false);
  m_slot = ClaimSlot(m_data, m_size, &m_damaged);
  return Result::Ok;
}

void MappedFile::Close() {
  if (!m_data) return;
  if (m_slot >= 0) {
    g_slots[m_slot].damaged.store(nullptr, std::memory_order_release);
    g_slots[m_slot].end.store(0, std::memory_order_release);
    g_slots[m_slot].begin.store(0, std::memory_order_release);
  }
  munmap(const_cast<std::uint8_t*>(m_data), m_size);
  m_data = nullptr;
  m_size = 0;
  m_slot = -1;
}

void MappedFile::Release(const std::uint8_t* from, std::size_t size) const {
  static const auto kPage = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
  if (!m_data || size < kPage) return;
  const auto start = static_cast<std::size_t>(from - m_data);
  const std::size_t begin = (start + kPage - 1) / kPage * kPage;
  const std::size_t end = (start + size) / kPage * kPage;
  if (end > begin) madvise(const_cast<std::uint8_t*>(m_data) + begin, end - begin, MADV_DONTNEED);
}

void MappedFile::ReleaseBefore(std::size_t offset) {
  // Work in steps of 4 MiB so that the call costs nothing on most blocks.
  constexpr std::size_t kStep = std::size_t{4} << 20;
  if (!m_data || offset < m_released + kStep) return;
  const std::size_t upTo = offset & ~(kStep - 1);
  madvise(const_cast<std::uint8_t*>(m_data) + m_released, upTo - m_released, MADV_DONTNEED);
  m_released = upTo;
}

}  // namespace velmora
