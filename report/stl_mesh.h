// Binary STL files as the 3D view of the page takes them: the corners of
// every triangle, three floats each, in the order of the file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace korvanti::report {

struct StlMesh {
    std::vector<float> corners;  // x, y, z of the three corners of each triangle
    std::size_t triangles() const { return corners.size() / 9; }
};

// The same triangles on shared vertices: each distinct corner once (corners
// equal to the last bit are one vertex), the triangles as three indices.
struct IndexedMesh {
    std::vector<float> positions;  // x, y, z of each vertex
    std::vector<std::uint32_t> indices;
};
IndexedMesh indexed(const StlMesh& mesh);

// Reads a binary STL (80-byte header, triangle count, 50 bytes a triangle).
// Throws std::runtime_error naming the file when it cannot be read or its
// size is not that of its count.
StlMesh read_binary_stl(const std::filesystem::path& file);

// The bytes as base64 (RFC 4648, with padding), for embedding in the page.
std::string base64(const void* data, std::size_t size);

}  // namespace korvanti::report
