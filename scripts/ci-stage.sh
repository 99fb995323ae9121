# Sourced by the CI scripts: names each stage and prints how long it took, also when it fails.
stage_name=""
stage_start=0

stage() {
    [[ -n $stage_name ]] && echo "== $stage_name: $((SECONDS - stage_start)) s"
    stage_name=$1
    stage_start=$SECONDS
    echo "== $stage_name"
}

stage_done() {
    [[ -n $stage_name ]] && echo "== $stage_name: $((SECONDS - stage_start)) s"
    stage_name=""
}

trap '[[ -n $stage_name ]] && echo "== $stage_name: FAILED after $((SECONDS - stage_start)) s"' EXIT
