# The layers of Varnix: one folder of src/ each, and the folders each may use directly. The build
# links every engine folder's library to exactly these (src/CMakeLists.txt), and the CTest check
# cmake/check-layers.cmake rejects an include of a folder outside their closure, so this table is
# the one place where the graph is written down.

set(VARNIX_LAYERS core formats video probe merge cut chapters cli ui)

set(VARNIX_LAYER_core_USES "")
set(VARNIX_LAYER_formats_USES core)
set(VARNIX_LAYER_video_USES formats core)
set(VARNIX_LAYER_probe_USES video formats)
set(VARNIX_LAYER_merge_USES formats core)
set(VARNIX_LAYER_cut_USES probe merge)
set(VARNIX_LAYER_chapters_USES core)
set(VARNIX_LAYER_cli_USES cut probe merge video formats core chapters)
set(VARNIX_LAYER_ui_USES cut probe merge video formats core chapters)

# The engine: one static library per folder, all of them behind the umbrella varnix_engine.
set(VARNIX_ENGINE_LAYERS core formats video probe merge cut)

# Headers of toolkits that only a front end may include: Qt (src/ui) and CLI11 (src/cli).
set(VARNIX_QT_HEADER_REGEX "^(Qt[A-Za-z0-9]*/|Q[A-Za-z0-9_]+$|q[a-z0-9_]+\\.h$)")
set(VARNIX_CLI11_HEADER_REGEX "^CLI/|(^|/)CLI11\\.hpp$")
set(VARNIX_LAYER_ui_MAY_INCLUDE_QT ON)
set(VARNIX_LAYER_cli_MAY_INCLUDE_CLI11 ON)

# The folders a layer may include: itself and everything it uses, directly or through another.
function(varnix_layer_closure layer out)
    set(closure ${layer})
    set(pending ${VARNIX_LAYER_${layer}_USES})
    while(pending)
        list(POP_FRONT pending next)
        if(NOT next IN_LIST closure)
            list(APPEND closure ${next})
            list(APPEND pending ${VARNIX_LAYER_${next}_USES})
        endif()
    endwhile()
    set(${out} ${closure} PARENT_SCOPE)
endfunction()
