#include "tests/e2e/sound_capture.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdint>
#include <fstream>
#include <sstream>

namespace capture {
namespace {

using Complex = std::complex<double>;

std::string ReadFile(const std::string& path) {
    std::ostringstream bytes;
    bytes << std::ifstream(path, std::ios::binary).rdbuf();
    return bytes.str();
}

float Sample16(const std::string& b, std::size_t at) {
    const unsigned v = static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1]) << 8;
    return static_cast<std::int16_t>(v) / 32768.0f;
}

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

bool ReadCapture(const std::string& path, std::vector<float>* left, std::string* problem) {
    const std::string b = ReadFile(path);
    // The tag sits in the header's first hundred bytes; later the same four
    // bytes may occur in the samples.
    const std::size_t data = b.find("data", 12);
    if (b.compare(0, 4, "RIFF") != 0 || data == std::string::npos || data > 100) {
        *problem = "no WAV header in " + path + " (" + std::to_string(b.size()) + " bytes)";
        return false;
    }
    left->clear();
    for (std::size_t i = data + 8; i + 4 <= b.size(); i += 4) left->push_back(Sample16(b, i));
    return true;
}

std::vector<float> ReadMonoWav(const std::string& path) {
    const std::string b = ReadFile(path);
    std::vector<float> samples;
    std::size_t at = 12;
    while (at + 8 <= b.size()) {
        const std::string id = b.substr(at, 4);
        std::uint32_t size = 0;
        for (int i = 3; i >= 0; --i) size = size << 8 | static_cast<unsigned char>(b[at + 4 + static_cast<std::size_t>(i)]);
        if (id == "data") {
            const std::size_t end = std::min<std::size_t>(b.size(), at + 8 + size);
            for (std::size_t i = at + 8; i + 2 <= end; i += 2) samples.push_back(Sample16(b, i));
            break;
        }
        at += 8 + size + (size & 1);
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
