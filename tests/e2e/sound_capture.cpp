#include "tests/e2e/sound_capture.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdint>

#include "tests/host/temp_files.h"

namespace capture {
namespace {

using Complex = std::complex<double>;

// Length a power of two; the inverse (sign +1) is n times too large.
void Fft(std::vector<Complex>& a, double sign) {
    const std::size_t n = a.size();
    if (n == 1) return;
    std::vector<Complex> half[2] = {std::vector<Complex>(n / 2), std::vector<Complex>(n / 2)};
    for (std::size_t i = 0; i < n; ++i) half[i % 2][i / 2] = a[i];
    Fft(half[0], sign);
    Fft(half[1], sign);
    for (std::size_t k = 0; k < n / 2; ++k) {
        const Complex odd = std::polar(1.0, sign * M_PI * double(k) / double(n / 2)) * half[1][k];
        a[k] = half[0][k] + odd;
        a[k + n / 2] = half[0][k] - odd;
    }
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
    from = std::max(0L, from);
    to = std::min(to, static_cast<long>(signal.size()) - m + 1);
    if (m == 0 || from >= to) return found;

    // The correlation at every start in the stretch at once, through the
    // transforms of the stretch and of the sound, normalised by the energy
    // of each (running sums of squares for the capture).
    const long length = to - from + m - 1;
    std::size_t size = 1;
    while (size < static_cast<std::size_t>(length)) size *= 2;
    std::vector<Complex> piece(size), pattern(size);
    std::copy(signal.begin() + from, signal.begin() + from + length, piece.begin());
    std::copy(sound.begin(), sound.begin() + m, pattern.begin());
    Fft(piece, -1);
    Fft(pattern, -1);
    for (std::size_t i = 0; i < size; ++i) piece[i] *= std::conj(pattern[i]) / static_cast<double>(size);
    Fft(piece, 1);
    double sound_energy = 0;
    for (long j = 0; j < m; ++j) sound_energy += static_cast<double>(sound[j]) * sound[j];
    std::vector<double> energy(static_cast<std::size_t>(length) + 1, 0.0), score;
    for (long i = 0; i < length; ++i) energy[i + 1] = energy[i] + double(signal[from + i]) * signal[from + i];
    for (long k = 0; k < to - from; ++k) {
        const double e = energy[k + m] - energy[k];
        score.push_back(e > 1e-9 ? piece[k].real() / std::sqrt(e * sound_energy) : 0);
    }
    // The best place of each stretch above the threshold.
    for (long k = 0; k < to - from; ++k) {
        if (score[k] < threshold) continue;
        const long best = std::max_element(score.data() + k, score.data() + std::min(to - from, k + m)) - score.data();
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
