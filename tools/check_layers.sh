#!/usr/bin/env bash
# Fails when an include points upward in the layer order, when Qt is
# included outside toolkit/, or netCDF or ecCodes outside exchange/. Layers, lowest first:
#   base < toolkit < profile < plot < qc < exchange < app
# with profile not depending on toolkit, and resources/embedded.h open to all.
set -u
root=${1:-$(dirname "$0")/..}
cd "$root" || exit 2
declare -A allowed=(
  [base]="base"
  [toolkit]="toolkit base resources"
  [profile]="profile base resources"
  [qc]="qc plot profile toolkit base resources"
  [plot]="plot profile toolkit base resources"
  [exchange]="exchange qc profile base resources"
  [app]="app exchange plot qc profile toolkit base resources"
)
bad=0
for layer in "${!allowed[@]}"; do
  [ -d "$layer" ] || continue
  while IFS= read -r hit; do
    file=${hit%%:*}
    inc=$(sed -E 's/.*#\s*include\s*[<"]([^>"]+)[>"].*/\1/' <<<"$hit")
    if [[ $inc =~ ^Q[A-Za-z]+ ]] || [[ $inc =~ ^Qt[A-Za-z]*/ ]]; then
      if [ "$layer" != toolkit ]; then
        echo "Qt outside toolkit/: $hit"; bad=1
      fi
      continue
    fi
    if [[ $inc =~ ^(netcdf|eccodes|grib_api)[A-Za-z_]*\.h$ ]]; then
      if [ "$layer" != exchange ]; then
        echo "netCDF or ecCodes outside exchange/: $hit"; bad=1
      fi
      continue
    fi
    top=${inc%%/*}
    [ "$top" = "$inc" ] && continue   # standard or system header
    case " base toolkit profile qc plot exchange app resources " in *" $top "*) ;; *) continue ;; esac
    if [[ " ${allowed[$layer]} " != *" $top "* ]]; then
      echo "upward include in $layer/: $hit"; bad=1
    fi
  done < <(grep -rnE '^\s*#\s*include\s*[<"]' "$layer" --include='*.h' --include='*.cpp' 2>/dev/null)
done
if [ $bad -ne 0 ]; then echo "layer rules: FAILED"; exit 1; fi
echo "layer rules: ok"
