// The live parts of the page, from the data embedded in it: the small plots
// of the radial distributions and of the open-water table, the zoom of the
// form plans and the 3D view (three.js with its orbit controls). Nothing is
// fetched: the page works from the file system without a network.
(function () {
    'use strict';

    var SVG_NS = 'http://www.w3.org/2000/svg';
    var run = JSON.parse(document.getElementById('run-data').textContent);

    function svgElement(name, attributes, parent) {
        var e = document.createElementNS(SVG_NS, name);
        Object.keys(attributes).forEach(function (k) { e.setAttribute(k, attributes[k]); });
        if (parent) parent.appendChild(e);
        return e;
    }

    // Round tick steps (1, 2 or 5 times a power of ten) over [lo, hi].
    function ticks(lo, hi, count) {
        var span = hi - lo || Math.abs(hi) || 1;
        var power = Math.pow(10, Math.floor(Math.log10(span / count)));
        var step = [1, 2, 5, 10].map(function (m) { return m * power; })
            .filter(function (s) { return span / s <= count; })[0];
        var out = [];
        for (var t = Math.ceil(lo / step) * step; t <= hi + step * 1e-9; t += step) out.push(+t.toFixed(10));
        return out;
    }

    var COLOURS = ['#0b5cad', '#c0392b', '#1e8449', '#8e44ad', '#d35400', '#117a65', '#7f8c8d'];

    // A small line plot of one or more curves y(x) with axes, ticks and a legend.
    function plot(parent, title, xLabel, xs, curves) {
        var W = 360, H = 230, L = 52, R = 10, T = 26, B = 36;
        var svg = svgElement('svg', {class: 'plot', width: W, height: H, viewBox: '0 0 ' + W + ' ' + H,
                                     'data-title': title}, parent);
        var ys = [];
        curves.forEach(function (c) { c.values.forEach(function (v) { if (isFinite(v)) ys.push(v); }); });
        if (!xs.length || !ys.length) return svg;
        var x0 = Math.min.apply(null, xs), x1 = Math.max.apply(null, xs);
        var y0 = Math.min.apply(null, ys), y1 = Math.max.apply(null, ys);
        if (y0 > 0 && y0 < 0.5 * y1) y0 = 0;
        if (y1 === y0) { y1 += Math.abs(y1) * 0.1 || 1; y0 -= Math.abs(y0) * 0.1; }
        if (x1 === x0) x1 = x0 + 1;
        var sx = function (x) { return L + (x - x0) / (x1 - x0) * (W - L - R); };
        var sy = function (y) { return H - B - (y - y0) / (y1 - y0) * (H - T - B); };
        svgElement('text', {x: L, y: 15, 'font-weight': 'bold'}, svg).textContent = title;
        ticks(x0, x1, 5).forEach(function (t) {
            svgElement('line', {x1: sx(t), x2: sx(t), y1: T, y2: H - B, stroke: '#e3e8ed'}, svg);
            svgElement('text', {x: sx(t), y: H - B + 14, 'text-anchor': 'middle'}, svg).textContent = t;
        });
        ticks(y0, y1, 5).forEach(function (t) {
            svgElement('line', {x1: L, x2: W - R, y1: sy(t), y2: sy(t), stroke: '#e3e8ed'}, svg);
            svgElement('text', {x: L - 4, y: sy(t) + 4, 'text-anchor': 'end'}, svg).textContent = t;
        });
        svgElement('rect', {x: L, y: T, width: W - L - R, height: H - T - B, fill: 'none', stroke: '#8a96a3'}, svg);
        svgElement('text', {x: (L + W - R) / 2, y: H - 6, 'text-anchor': 'middle'}, svg).textContent = xLabel;
        curves.forEach(function (c, k) {
            var points = [];
            xs.forEach(function (x, i) { if (isFinite(c.values[i])) points.push(sx(x).toFixed(1) + ',' + sy(c.values[i]).toFixed(1)); });
            var colour = COLOURS[k % COLOURS.length];
            svgElement('polyline', {points: points.join(' '), fill: 'none', stroke: colour, 'stroke-width': 1.6}, svg);
            if (curves.length > 1)
                svgElement('text', {x: W - R - 4, y: T + 14 + 13 * k, 'text-anchor': 'end', fill: colour}, svg)
                    .textContent = c.name;
        });
        return svg;
    }

    function radialPlots() {
        var holder = document.getElementById('radial-plots');
        if (!holder) return;
        var stations = (run.root_station ? [run.root_station] : []).concat(run.stations);
        var xs = stations.map(function (s) { return s.r_R; });
        var column = function (key) { return stations.map(function (s) { return s[key]; }); };
        plot(holder, 'chord c (m)', 'r/R', xs, [{name: 'c', values: column('chord_m')}]);
        plot(holder, 'pitch P (m)', 'r/R', xs, [{name: 'P', values: column('pitch_m')}]);
        plot(holder, 'maximum thickness (m)', 'r/R', xs, [{name: 't', values: column('max_thickness_m')}]);
        plot(holder, 'skew (deg)', 'r/R', xs, [{name: 'skew', values: column('skew_angle_deg')}]);
    }

    function openWaterPlot() {
        var data = document.getElementById('open-water-data');
        var holder = document.getElementById('open-water-plot');
        if (!data || !holder) return;
        var table = JSON.parse(data.textContent);
        var xs = table.rows.map(function (r) { return r[0]; });
        var curves = table.columns.slice(1).map(function (name, k) {
            return {name: name, values: table.rows.map(function (r) { return r[k + 1]; })};
        });
        var svg = plot(holder, 'open-water diagram', table.columns[0], xs, curves);
        svg.setAttribute('width', 720);
        svg.setAttribute('height', 400);
    }

    // The form plans: the wheel zooms about the pointer, a drag moves the sheet.
    function formPlans() {
        var holder = document.getElementById('plans-view');
        if (!holder) return;
        var svg = holder.querySelector('svg');
        if (!svg) return;
        var whole = (svg.getAttribute('viewBox') || '0 0 100 100').split(/[\s,]+/).map(Number);
        var box = whole.slice();
        var show = function () { svg.setAttribute('viewBox', box.join(' ')); };
        var zoom = function (factor, fx, fy) {
            var cx = box[0] + box[2] * fx, cy = box[1] + box[3] * fy;
            box[2] *= factor; box[3] *= factor;
            box[0] = cx - box[2] * fx; box[1] = cy - box[3] * fy;
            show();
        };
        holder.addEventListener('wheel', function (e) {
            e.preventDefault();
            var r = svg.getBoundingClientRect();
            zoom(e.deltaY < 0 ? 0.8 : 1.25, (e.clientX - r.left) / r.width, (e.clientY - r.top) / r.height);
        }, {passive: false});
        var drag = null;
        holder.addEventListener('pointerdown', function (e) { drag = {x: e.clientX, y: e.clientY}; });
        window.addEventListener('pointerup', function () { drag = null; });
        holder.addEventListener('pointermove', function (e) {
            if (!drag) return;
            var r = svg.getBoundingClientRect();
            box[0] -= (e.clientX - drag.x) / r.width * box[2];
            box[1] -= (e.clientY - drag.y) / r.height * box[3];
            drag = {x: e.clientX, y: e.clientY};
            show();
        });
        document.getElementById('plans-in').onclick = function () { zoom(0.7, 0.5, 0.5); };
        document.getElementById('plans-out').onclick = function () { zoom(1 / 0.7, 0.5, 0.5); };
        document.getElementById('plans-reset').onclick = function () { box = whole.slice(); show(); };
    }

    function bytesOf(id) {
        var element = document.getElementById(id);
        if (!element) return null;
        var text = atob(element.textContent.trim());
        var bytes = new Uint8Array(text.length);
        for (var i = 0; i < text.length; ++i) bytes[i] = text.charCodeAt(i);
        return bytes.buffer;
    }

    // A mesh of the page: vertex positions and the triangles' indices.
    function meshGeometry(id) {
        var positions = bytesOf(id + '-positions'), indices = bytesOf(id + '-indices');
        if (!positions || !indices) return null;
        var geometry = new THREE.BufferGeometry();
        geometry.setAttribute('position', new THREE.BufferAttribute(new Float32Array(positions), 3));
        geometry.setIndex(new THREE.BufferAttribute(new Uint32Array(indices), 1));
        geometry.computeVertexNormals();
        return geometry;
    }

    // The 3D view. The page says how many triangles were drawn in the status
    // line and in the body's data-triangles-drawn, and keeps a still picture
    // of the view for printing.
    function view3d() {
        var canvas = document.getElementById('viewer-canvas');
        var status = document.getElementById('viewer-status');
        if (!canvas || typeof THREE === 'undefined') return;
        var renderer;
        try {
            renderer = new THREE.WebGLRenderer({canvas: canvas, antialias: true, preserveDrawingBuffer: true});
        } catch (error) {
            status.textContent = 'This browser has no WebGL: the 3D view cannot be drawn.';
            document.body.setAttribute('data-triangles-drawn', '0');
            return;
        }
        renderer.setPixelRatio(1);
        renderer.setSize(canvas.width, canvas.height, false);
        renderer.setClearColor(0xeef2f6);
        var scene = new THREE.Scene();
        scene.add(new THREE.HemisphereLight(0xffffff, 0x8a7a60, 0.55));
        var sun = new THREE.DirectionalLight(0xffffff, 0.75);
        scene.add(sun);
        var propeller = meshGeometry('mesh-propeller');
        var bronze = new THREE.MeshStandardMaterial({color: 0xc8a15a, metalness: 0.35, roughness: 0.45,
                                                     side: THREE.DoubleSide});
        scene.add(new THREE.Mesh(propeller, bronze));
        var nozzle = meshGeometry('mesh-nozzle');
        if (nozzle)
            scene.add(new THREE.Mesh(nozzle, new THREE.MeshStandardMaterial({
                color: 0x7d8a96, metalness: 0.2, roughness: 0.6, side: THREE.DoubleSide,
                transparent: true, opacity: 0.45, depthWrite: false})));
        // The sphere round both meshes, from their joint box (three r111's
        // Sphere cannot take the union of two spheres).
        propeller.computeBoundingBox();
        var box = propeller.boundingBox.clone();
        if (nozzle) { nozzle.computeBoundingBox(); box.union(nozzle.boundingBox); }
        var sphere = box.getBoundingSphere(new THREE.Sphere());
        var camera = new THREE.PerspectiveCamera(35, canvas.width / canvas.height, sphere.radius / 100,
                                                 sphere.radius * 100);
        var distance = sphere.radius / Math.sin(THREE.MathUtils ? THREE.MathUtils.degToRad(17.5) : 17.5 * Math.PI / 180);
        camera.position.copy(sphere.center).add(new THREE.Vector3(0.9, -0.6, 0.5).normalize().multiplyScalar(distance));
        camera.up.set(0, 0, 1);
        camera.lookAt(sphere.center);
        var controls = new THREE.OrbitControls(camera, canvas);
        controls.target.copy(sphere.center);
        controls.screenSpacePanning = true;
        controls.update();
        controls.saveState();
        var still = document.getElementById('viewer-still');
        var pending = false;
        function draw() {
            pending = false;
            sun.position.copy(camera.position);
            renderer.render(scene, camera);
            var drawn = renderer.info.render.triangles;
            document.body.setAttribute('data-triangles-drawn', String(drawn));
            status.textContent = drawn + ' triangles drawn';
        }
        function request() {
            if (!pending) { pending = true; window.requestAnimationFrame(draw); }
        }
        controls.addEventListener('change', request);
        document.getElementById('viewer-reset').onclick = function () { controls.reset(); request(); };
        window.addEventListener('beforeprint', function () { still.src = canvas.toDataURL('image/png'); });
        draw();
        // The still picture for printing, once the page has loaded.
        window.addEventListener('load', function () {
            window.setTimeout(function () { still.src = canvas.toDataURL('image/png'); }, 0);
        });
    }

    radialPlots();
    openWaterPlot();
    formPlans();
    view3d();
    document.body.setAttribute('data-page-ready', '1');
})();
