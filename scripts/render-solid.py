#!/usr/bin/python3
"""Renders the binary STL written by korvanti-solid to a PNG picture.

    scripts/render-solid.py Korvanti.stl picture.png

Off-screen, with matplotlib (Debian: python3-matplotlib, python3-numpy).
"""
import struct
import sys

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402
import numpy as np  # noqa: E402
from mpl_toolkits.mplot3d.art3d import Poly3DCollection  # noqa: E402


def read_stl(path):
    with open(path, "rb") as f:
        data = f.read()
    (count,) = struct.unpack_from("<I", data, 80)
    records = np.frombuffer(data, dtype=np.dtype([("n", "<f4", 3), ("v", "<f4", (3, 3)),
                                                  ("a", "<u2")]), count=count, offset=84)
    return records["v"].astype(float)


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: render-solid.py Korvanti.stl picture.png")
    triangles = read_stl(sys.argv[1])
    # Lambert shading from one light, on the outward normals.
    normals = np.cross(triangles[:, 1] - triangles[:, 0], triangles[:, 2] - triangles[:, 0])
    normals /= np.linalg.norm(normals, axis=1)[:, None] + 1e-30
    light = np.array([-0.6, -0.5, 0.62])
    light /= np.linalg.norm(light)
    shade = 0.25 + 0.75 * np.clip(normals @ light, 0, 1)
    colours = np.outer(shade, [0.80, 0.62, 0.30])
    figure = plt.figure(figsize=(6, 6), dpi=110)
    axes = figure.add_subplot(projection="3d")
    axes.add_collection3d(Poly3DCollection(triangles, facecolors=colours, edgecolors="none"))
    low, high = triangles.reshape(-1, 3).min(axis=0), triangles.reshape(-1, 3).max(axis=0)
    middle, half = (low + high) / 2, (high - low).max() / 2
    for set_lim, m in zip((axes.set_xlim, axes.set_ylim, axes.set_zlim), middle):
        set_lim(m - half, m + half)
    axes.set_box_aspect((1, 1, 1))
    axes.view_init(elev=20, azim=-35)
    axes.set_axis_off()
    figure.savefig(sys.argv[2], bbox_inches="tight")


if __name__ == "__main__":
    main()
