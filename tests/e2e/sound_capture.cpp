#include "tests/e2e/sound_capture.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdint>

#include "tests/host/temp_files.h"

namespace capture {
namespace {

using Complex = std::complex<double>;

// In place, length a power of two.
void Fft(std::vector<Complex>& a, bool inverse) {
    const std::size_t n = a.size();
    for (std::size_t i = 1, j = 0; i < n; ++i) {
        std::size_t bit = n >> 1;
        for (; j & bit; bit >>= 1) j ^= bit;
        j ^= bit;
        if (i < j) std::swap(a[i], a[j]);
    }
    for (std::size_t len = 2; len <= n; len <<= 1) {
        const double angle = 2 * M_PI / static_cast<double>(len) * (inverse ? 1 : -1);
        const Complex step(std::cos(angle), std::sin(angle));
        for (std::size_t i = 0; i < n; i += len) {
            Complex w(1);
            for (std::size_t k = 0; k < len / 2; ++k) {
                const Complex u = a[i + k], v = a[i + k + len / 2] * w;
                a[i + k] = u + v;
                a[i + k + len / 2] = u - v;
                w *= step;
            }
        }
    }
    for (Complex& c : a) c /= inverse ? static_cast<double>(n) : 1.0;
}

}  // namespace

std::vector<float> ReadWav(const std::string& path, int channels) {
    const std::string b = ReadFile(path);
    // The tag sits in the header's first hundred bytes; later the same four
    // bytes may occur in the samples.
    const std::size_t data = b.find("data", 12);
    std::vector<float> samples;
    if (b.compare(0, 4, "RIFF") != 0 || data == std::string::npos || data > 100) return samples;
    const std::size_t step = 2 * static_cast<std::size_t>(channels);
    for (std::size_t i = data + 8; i + step <= b.size(); i += step) {
        const unsigned v = static_cast<unsigned char>(b[i]) | static_cast<unsigned char>(b[i + 1]) << 8;
        samples.push_back(static_cast<std::int16_t>(v) / 32768.0f);
    }
    return samples;
}

std::vector<Match> FindSound(const std::vector<float>& signal, const std::vector<float>& sound, long from, long to,
                             double threshold) {
    std::vector<Match> found;
    const long m = std::min<long>(static_cast<long>(sound.size()), kRate / 4);
    const long n = static_cast<long>(signal.size());
    from = std::max(0L, from);
    to = std::min(to, n - m + 1);
    if (m == 0 || from >= to) return found;

    double sound_energy = 0;
    for (long j = 0; j < m; ++j) sound_energy += static_cast<double>(sound[j]) * sound[j];
    std::vector<double> energy(static_cast<std::size_t>(n) + 1, 0.0);  // running sum of squares
    for (long i = 0; i < n; ++i) energy[i + 1] = energy[i] + static_cast<double>(signal[i]) * signal[i];

    // Overlap-save: each block of L samples yields L - m + 1 correlations.
    const long block = 1L << 17;
    std::vector<Complex> pattern(block);
    for (long j = 0; j < m; ++j) pattern[j] = sound[j];
    Fft(pattern, false);
    std::vector<double> score(static_cast<std::size_t>(to - from), 0.0);
    std::vector<Complex> piece(block);
    for (long start = from; start < to; start += block - m + 1) {
        for (long i = 0; i < block; ++i) piece[i] = start + i < n ? signal[start + i] : 0.0f;
        Fft(piece, false);
        for (long i = 0; i < block; ++i) piece[i] *= std::conj(pattern[i]);
        Fft(piece, true);
        for (long k = 0; k <= block - m && start + k < to; ++k) {
            const double e = energy[start + k + m] - energy[start + k];
            score[start + k - from] = e > 1e-9 ? piece[k].real() / std::sqrt(e * sound_energy) : 0;
        }
    }
    for (long k = 0; k < to - from; ++k) {
        if (score[k] < threshold) continue;
        long best = k;
        for (long j = k; j < std::min(to - from, k + m); ++j) {
            if (score[j] > score[best]) best = j;
        }
        found.push_back({score[best], from + best});
        k = best + m;
    }
    return found;
}

double MedianLevel(const std::vector<float>& signal, long from, long to) {
    const long piece = kRate / 20;
    std::vector<double> levels;
    for (long at = std::max(0L, from); at + piece <= std::min<long>(to, static_cast<long>(signal.size())); at += piece) {
        double sum = 0;
        for (long i = at; i < at + piece; ++i) sum += static_cast<double>(signal[i]) * signal[i];
        levels.push_back(std::sqrt(sum / piece));
    }
    if (levels.empty()) return 0;
    std::nth_element(levels.begin(), levels.begin() + static_cast<long>(levels.size() / 2), levels.end());
    return levels[levels.size() / 2];
}

}  // namespace capture
