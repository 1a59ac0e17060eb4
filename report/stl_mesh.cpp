#include "stl_mesh.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <unordered_map>

namespace korvanti::report {

namespace {

constexpr std::size_t header_size = 80;
constexpr std::size_t triangle_size = 50;  // normal, three corners, attribute count

std::uint32_t little_endian_u32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

float little_endian_float(const unsigned char* p) {
    const std::uint32_t bits = little_endian_u32(p);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

}  // namespace

StlMesh read_binary_stl(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw std::runtime_error(file.string() + ": cannot be opened");
    const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)),
                                           std::istreambuf_iterator<char>());
    if (bytes.size() < header_size + 4)
        throw std::runtime_error(file.string() + ": too short for a binary STL file");
    const std::size_t count = little_endian_u32(&bytes[header_size]);
    if (bytes.size() != header_size + 4 + count * triangle_size)
        throw std::runtime_error(file.string() + ": not a binary STL file (" +
                                 std::to_string(bytes.size()) + " bytes for " +
                                 std::to_string(count) + " triangles)");
    StlMesh mesh;
    mesh.corners.reserve(count * 9);
    for (std::size_t t = 0; t < count; ++t) {
        const unsigned char* corners = &bytes[header_size + 4 + t * triangle_size + 12];
        for (std::size_t k = 0; k < 9; ++k) {
            const float value = little_endian_float(corners + 4 * k);
            if (!std::isfinite(value))
                throw std::runtime_error(file.string() + ": triangle " + std::to_string(t + 1) +
                                         " has a corner that is not a number");
            mesh.corners.push_back(value);
        }
    }
    return mesh;
}

IndexedMesh indexed(const StlMesh& mesh) {
    struct CornerHash {
        std::size_t operator()(const std::array<std::uint32_t, 3>& c) const {
            return (static_cast<std::size_t>(c[0]) * 0x9E3779B1u) ^
                   (static_cast<std::size_t>(c[1]) * 0x85EBCA77u) ^ (c[2] * 0xC2B2AE3Du);
        }
    };
    std::unordered_map<std::array<std::uint32_t, 3>, std::uint32_t, CornerHash> seen;
    seen.reserve(mesh.corners.size() / 9);
    IndexedMesh out;
    out.indices.reserve(mesh.corners.size() / 3);
    for (std::size_t k = 0; k + 2 < mesh.corners.size(); k += 3) {
        std::array<std::uint32_t, 3> bits;
        std::memcpy(bits.data(), &mesh.corners[k], sizeof bits);
        const auto [at, added] =
            seen.try_emplace(bits, static_cast<std::uint32_t>(out.positions.size() / 3));
        if (added)
            out.positions.insert(out.positions.end(), &mesh.corners[k], &mesh.corners[k] + 3);
        out.indices.push_back(at->second);
    }
    return out;
}

std::string base64(const void* data, std::size_t size) {
    static constexpr char alphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    const auto* p = static_cast<const unsigned char*>(data);
    std::string out;
    out.reserve((size + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 2 < size; i += 3) {
        const std::uint32_t v = p[i] << 16 | p[i + 1] << 8 | p[i + 2];
        out += alphabet[v >> 18 & 63];
        out += alphabet[v >> 12 & 63];
        out += alphabet[v >> 6 & 63];
        out += alphabet[v & 63];
    }
    if (i < size) {
        const std::uint32_t v = p[i] << 16 | (i + 1 < size ? p[i + 1] << 8 : 0);
        out += alphabet[v >> 18 & 63];
        out += alphabet[v >> 12 & 63];
        out += i + 1 < size ? alphabet[v >> 6 & 63] : '=';
        out += '=';
    }
    return out;
}

}  // namespace korvanti::report
