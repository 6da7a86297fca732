# Input: grep -Hn lines "path:line:#include <x>". See check-layers.
BEGIN {
    rank["Platform"] = 1; rank["Primitives"] = 2; rank["QvBase"] = 3; rank["Tonalith"] = 4
    name[1] = "Platform"; name[2] = "Primitives"; name[3] = "QvBase"; name[4] = "Tonalith"
    # Layers within a layer: a folder includes its own sub-layer and those below it.
    sub_rank["Primitives/Prim"] = 1; sub_rank["Primitives/Vec"] = 2
    sub_rank["Tonalith/Analysis"] = 1; sub_rank["Tonalith/Display"] = 2; sub_rank["Tonalith/App"] = 3
    split(helpers, list, " ")
    for (i in list) helper[list[i]] = 1
}

function first(path,    parts) { split(path, parts, "/"); return parts[1] }
function two(path,    parts) { split(path, parts, "/"); return parts[1] "/" parts[2] }

{
    path = $0; sub(/:.*/, "", path)
    rest = substr($0, length(path) + 2)
    line = rest; sub(/:.*/, "", line)
    target = rest; sub(/^[^<"]*[<"]/, "", target); sub(/[>"].*$/, "", target)
    n++; from[n] = path; at[n] = line; what[n] = target
    if (first(path) == "testing") {
        dir = path; sub(/^testing\//, "", dir); dir = first(dir)
        r = rank[first(target)] + 0
        if (r > need[dir]) need[dir] = r
    }
}

function fail(i, why) {
    printf "%s:%s: includes %s: %s\n", from[i], at[i], what[i], why > "/dev/stderr"
    bad++
}

END {
    for (i = 1; i <= n; i++) {
        p = from[i]; t = what[i]; top = first(p); head = first(t)
        if (t ~ /^(gtk|gdk|gdk-pixbuf|glib|gio|pango)\// || t ~ /^(gtk|gdk|glib|glib-object|gio|cairo|cairo-[a-z]+|pango[a-z]*)\.h$/) {
            if (p !~ /^Platform\/Gui\/Gtk\//) fail(i, "the toolkit is included only under Platform/Gui/Gtk")
            continue
        }
        if (t ~ /^lib(avformat|avcodec|avutil|swresample|swscale|avfilter|avdevice)\//) {
            if (p !~ /^Platform\/Media\//) fail(i, "FFmpeg is included only under Platform/Media")
            continue
        }
        if (t ~ /(^|\/)\.\.\//) { fail(i, "include through the folder's parent; include by library path"); continue }
        if (!(top in rank) && top != "testing") continue  # tools and benchmarks sit above every layer
        own = (top == "testing") ? 4 : rank[top]
        if (top == "testing") {
            dir = p; sub(/^testing\//, "", dir); own = need[first(dir)]
        }
        test = (p ~ /\/tests\// || top == "testing")
        if (t ~ /\/Fake\// && !test && p !~ /\/Fake\//) fail(i, "test doubles (Fake/) are included only by tests")
        if (head in rank) {
            if (rank[head] > own) fail(i, name[own] " may not include the higher layer " head)
            else if ((two(p) in sub_rank) && (two(t) in sub_rank) && first(p) == head && sub_rank[two(t)] > sub_rank[two(p)])
                fail(i, two(p) " may not include the higher layer " two(t))
        } else if (head in helper) {
            if (!test) fail(i, "production code does not include test helpers")
            else if (need[head] > own) fail(i, "the helper needs " name[need[head]] ", above " name[own])
        }
    }
    if (bad) {
        printf "%d include(s) break the layering\n", bad > "/dev/stderr"
        exit 1
    }
}
