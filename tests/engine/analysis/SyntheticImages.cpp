#include "SyntheticImages.h"

#include <algorithm>
#include <cmath>
#include <random>

namespace analysistest {

namespace {

std::uint8_t clampByte(float v) {
  return static_cast<std::uint8_t>(std::clamp(v, 0.0f, 255.0f) + 0.5f);
}

/// Raw engine output, so that the images are the same with every standard library.
struct Random {
  std::mt19937 engine;
  explicit Random(unsigned seed) : engine(seed) {}
  int below(int n) { return static_cast<int>(engine() % static_cast<unsigned>(n)); }
  float unit() { return static_cast<float>(engine() % 10000u) / 10000.0f; }
};

void drawEllipse(TestImage &image, Random &rng) {
  const int cx = rng.below(image.width), cy = rng.below(image.height);
  const int rx = 20 + rng.below(1 + image.width / 4), ry = 20 + rng.below(1 + image.height / 4);
  const float r = 255 * rng.unit(), g = 255 * rng.unit(), b = 255 * rng.unit();
  for (int y = std::max(0, cy - ry); y < std::min(image.height, cy + ry); ++y) {
    for (int x = std::max(0, cx - rx); x < std::min(image.width, cx + rx); ++x) {
      const float dx = static_cast<float>(x - cx) / rx, dy = static_cast<float>(y - cy) / ry;
      if (dx * dx + dy * dy > 1)
        continue;
      const float shade = 0.75f + 0.25f * dy;
      image.set(x, y, clampByte(r * shade), clampByte(g * shade), clampByte(b * shade));
    }
  }
}

} // namespace

TestImage::TestImage(int w, int h, int b, std::uint8_t fill)
    : width(w), height(h), bands(b), pixels(static_cast<std::size_t>(w) * h * b, fill) {}

void TestImage::set(int x, int y, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  std::uint8_t *p = at(x, y);
  p[0] = r;
  p[1] = g;
  p[2] = b;
}

void TestImage::fillRect(int x0, int y0, int w, int h, std::uint8_t r, std::uint8_t g,
                         std::uint8_t b) {
  for (int y = std::max(0, y0); y < std::min(height, y0 + h); ++y) {
    for (int x = std::max(0, x0); x < std::min(width, x0 + w); ++x)
      set(x, y, r, g, b);
  }
}

TestImage scene(unsigned seed, int width, int height) {
  Random rng(seed);
  TestImage image(width, height, 3);
  const float top[3] = {255 * rng.unit(), 255 * rng.unit(), 255 * rng.unit()};
  const float bottom[3] = {255 * rng.unit(), 255 * rng.unit(), 255 * rng.unit()};
  const float frequency = 0.2f + 0.6f * rng.unit();
  for (int y = 0; y < height; ++y) {
    const float t = static_cast<float>(y) / height;
    for (int x = 0; x < width; ++x) {
      const float texture = t > 0.6f ? 30 * std::sin(frequency * x + 0.3f * y) : 0;
      image.set(x, y, clampByte(top[0] + t * (bottom[0] - top[0]) + texture),
                clampByte(top[1] + t * (bottom[1] - top[1]) + texture),
                clampByte(top[2] + t * (bottom[2] - top[2]) + texture));
    }
  }
  for (int i = 0; i < 7; ++i)
    drawEllipse(image, rng);
  for (std::uint8_t &v : image.pixels)
    v = clampByte(v + 6.0f * (rng.unit() - 0.5f));
  return image;
}

TestImage blurred(const TestImage &image, int radius) {
  TestImage out = image;
  TestImage tmp = image;
  const int b = image.bands;
  for (int pass = 0; pass < 3; ++pass) {
    for (int y = 0; y < image.height; ++y) {
      for (int x = 0; x < image.width; ++x) {
        for (int c = 0; c < b; ++c) {
          int sum = 0, n = 0;
          for (int k = -radius; k <= radius; ++k) {
            const int xx = std::clamp(x + k, 0, image.width - 1);
            const int yy = std::clamp(y + k, 0, image.height - 1);
            sum += (pass % 2 == 0 ? out.at(xx, y) : out.at(x, yy))[c];
            ++n;
          }
          tmp.at(x, y)[c] = static_cast<std::uint8_t>(sum / n);
        }
      }
    }
    out = tmp;
  }
  return out;
}

TestImage exposed(const TestImage &image, float gain) {
  TestImage out = image;
  for (std::uint8_t &v : out.pixels)
    v = clampByte(v * gain);
  return out;
}

TestImage noisy(const TestImage &image, int amplitude, unsigned seed) {
  Random rng(seed);
  TestImage out = image;
  for (std::uint8_t &v : out.pixels) {
    if (v == 0 || v == 255)
      continue;
    v = clampByte(static_cast<float>(v + rng.below(2 * amplitude + 1) - amplitude));
  }
  return out;
}

TestImage shifted(const TestImage &image, int dx) {
  TestImage out = image;
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      const std::uint8_t *src = image.at(std::min(image.width - 1, x + dx), y);
      std::copy(src, src + image.bands, out.at(x, y));
    }
  }
  return out;
}

TestImage screenshot(int width, int height) {
  TestImage image(width, height, 3, 239);
  image.fillRect(0, 0, width, 28, 53, 132, 228);          // title bar
  image.fillRect(0, 28, 120, height - 28, 250, 250, 250); // sidebar
  for (int row = 0; row < 12; ++row) {
    const int y = 44 + row * 22;
    image.fillRect(10, y, 60 + (row * 37) % 50, 3, 40, 40, 40);    // sidebar labels
    image.fillRect(140, y, 200 + (row * 53) % 150, 4, 20, 20, 20); // text lines
  }
  image.fillRect(width - 110, height - 40, 90, 26, 0, 120, 215); // button
  image.fillRect(width - 95, height - 30, 60, 4, 255, 255, 255); // button label
  return image;
}

TestImage documentPage(int width, int height) {
  TestImage image(width, height, 3, 255);
  for (int y = 40; y < height - 40; y += 14) {
    for (int x = 30; x < width - 30 - (y * 7) % 60; x += 9) {
      image.fillRect(x, y, 6, 2, 15, 15, 15); // word-sized strokes
    }
  }
  return image;
}

TestImage noisePhoto(unsigned seed, int width, int height) {
  Random rng(seed);
  TestImage image(width, height, 3);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const float base = 60 + 120.0f * x / width;
      image.set(x, y, clampByte(base + 60 * (rng.unit() - 0.5f)),
                clampByte(base * 0.8f + 60 * (rng.unit() - 0.5f)),
                clampByte(base * 0.6f + 60 * (rng.unit() - 0.5f)));
    }
  }
  return image;
}

TestImage dialogOnDesktop(std::uint8_t desktop) {
  TestImage image(512, 288, 3, desktop);
  image.fillRect(166, 114, 180, 60, 238, 238, 236);
  image.fillRect(166, 114, 180, 8, 110, 150, 200);
  image.fillRect(172, 128, 12, 14, 240, 140, 30);
  for (int y = 128; y < 142; ++y) {
    for (int x = 192; x < 300; ++x) {
      if (y % 7 < 3 && x % 4 < 2 && (x / 17 + y) % 5 != 0)
        image.set(x, y, 30, 30, 30);
    }
  }
  image.fillRect(290, 156, 48, 12, 220, 220, 218);
  image.fillRect(290, 156, 48, 1, 150, 150, 150);
  return image;
}

} // namespace analysistest
