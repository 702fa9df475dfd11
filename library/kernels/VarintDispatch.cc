// Chooses the varint kernel once, while the library loads, from what the CPU
// and the operating system offer; and the list of kernels the tests and
// benchmarks force in turn.
#include "kernels/VarintScalar.h"

#include <cstring>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <cpuid.h>
#define TARVESH_X86_64 1
#endif

namespace Pb {
namespace kernels {

namespace detail {
const VarintKernel* active_varint_kernel = &kScalarVarintKernel;
}  // namespace detail

namespace {

struct CpuFeatures {
  bool sse41 = false;  // with SSSE3 and POPCNT
  bool avx2 = false;
  // An AVX-512 kernel (F, BW, VL, VBMI, VBMI2, with XCR0 bits 0xe6 saved)
  // belongs here once it can be run and measured; none of these machines
  // has AVX-512, so none is written yet.
};

#if defined(TARVESH_X86_64)
// The register state the operating system saves on a context switch.
std::uint64_t ReadXcr0() {
  std::uint32_t eax, edx;
  __asm__ volatile("xgetbv" : "=a"(eax), "=d"(edx) : "c"(0));
  return (static_cast<std::uint64_t>(edx) << 32) | eax;
}

CpuFeatures DetectCpuFeatures() {
  CpuFeatures features;
  unsigned eax, ebx, ecx, edx;
  if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx)) return features;
  const bool osxsave = (ecx >> 27) & 1;
  const bool avx = (ecx >> 28) & 1;
  const bool popcnt = (ecx >> 23) & 1;
  const bool ssse3 = (ecx >> 9) & 1;
  const bool sse41 = (ecx >> 19) & 1;
  features.sse41 = ssse3 && sse41 && popcnt;
  if (!osxsave || !avx || !features.sse41) return features;
  const std::uint64_t xcr0 = ReadXcr0();
  const bool ymm_saved = (xcr0 & 0x6) == 0x6;  // SSE and AVX state
  if (!ymm_saved || __get_cpuid_max(0, nullptr) < 7) return features;
  __cpuid_count(7, 0, eax, ebx, ecx, edx);
  const bool avx2 = (ebx >> 5) & 1;
  const bool bmi1 = (ebx >> 3) & 1;
  features.avx2 = avx2 && bmi1;
  return features;
}
#else
CpuFeatures DetectCpuFeatures() { return CpuFeatures{}; }
#endif

// The kernels this machine runs, best last. The vector kernels use no BMI2
// (pdep and pext are microcoded on some AMD processors), so the flag alone
// decides.
struct KernelList {
  const VarintKernel* kernels[4];
  int count = 0;

  KernelList() {
    kernels[count++] = &kScalarVarintKernel;
    const CpuFeatures features = DetectCpuFeatures();
    if (features.sse41) {
      if (const VarintKernel* sse41 = PrepareSse41VarintKernel()) kernels[count++] = sse41;
    }
    if (features.avx2) {
      if (const VarintKernel* avx2 = PrepareAvx2VarintKernel()) kernels[count++] = avx2;
    }
  }
};

const KernelList& Kernels() {
  static const KernelList list;
  return list;
}

// Chooses while the library loads, before any message is parsed or written.
const VarintKernel* const load_time_kernel = [] {
  const KernelList& list = Kernels();
  detail::active_varint_kernel = list.kernels[list.count - 1];
  return detail::active_varint_kernel;
}();

}  // namespace

int VarintKernelCount() { return Kernels().count; }

const VarintKernel& VarintKernelAt(int index) { return *Kernels().kernels[index]; }

const VarintKernel* FindVarintKernel(const char* name) {
  const KernelList& list = Kernels();
  for (int i = 0; i < list.count; ++i) {
    if (std::strcmp(list.kernels[i]->name, name) == 0) return list.kernels[i];
  }
  return nullptr;
}

const VarintKernel& LoadTimeVarintKernel() { return *load_time_kernel; }

void ForceVarintKernel(const VarintKernel& kernel) { detail::active_varint_kernel = &kernel; }

}  // namespace kernels
}  // namespace Pb
