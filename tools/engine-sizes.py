#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
# The engine's classes over 200 lines and functions over 50, counted from the
# line that opens each to the line that closes it: the sizes a reader should
# be able to hold. Usage: tools/engine-sizes.py engine [fraction of the limits]
import re, sys, glob

def scan(path):
    lines=open(path).read().split('\n')
    out=[]
    for i,l in enumerate(lines):
        s=l.strip()
        if not s.endswith('{') or s.startswith('//'): continue
        kind=None
        if re.match(r'(class|struct)\s+\w+[^;]*\{$',s): kind='class'
        elif '(' in s and not re.match(r'(if|for|while|switch|else|do|namespace|return|catch|try)\b',s) and not s.startswith('}') and not '= [' in s and not s.startswith('[') and not re.search(r'\[[&=a-z, ]*\]\s*\(',s):
            kind='function'
        if not kind: continue
        depth=0
        for j in range(i,len(lines)):
            depth+=lines[j].count('{')-lines[j].count('}')
            if depth<=0: break
        n=j-i+1
        name=s[:70]
        out.append((n,kind,path.split('engine/')[-1]+':'+str(i+1),name))
    return out
res=[]
for p in glob.glob(sys.argv[1]+'/**/*.cpp',recursive=True)+glob.glob(sys.argv[1]+'/**/*.h',recursive=True):
    res+=scan(p)
lim={'class':200,'function':50}
for n,k,w,name in sorted(res,reverse=True):
    if n>lim[k]*float(sys.argv[2] if len(sys.argv)>2 else 1): print(n,k,w,name)
